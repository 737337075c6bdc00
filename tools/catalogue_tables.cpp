#include "tools/catalogue_tables.h"

#include <algorithm>
#include <vector>

namespace lumaro::catalogue {

namespace {

// One genre with its keys, separated by '|'.
struct GenreKeys {
    std::string_view genre;
    std::string_view keys;
};

std::vector<std::string_view> Split(std::string_view keys) {
    std::vector<std::string_view> out;
    for (size_t start = 0; start <= keys.size();) {
        const size_t bar = std::min(keys.find('|', start), keys.size());
        out.push_back(keys.substr(start, bar - start));
        start = bar + 1;
    }
    return out;
}

std::vector<TableEntry> Expand(std::span<const GenreKeys> groups) {
    std::vector<TableEntry> entries;
    for (const auto& group : groups)
        for (std::string_view key : Split(group.keys))
            entries.push_back({key, group.genre});
    return entries;
}

constexpr std::string_view kGenres[] = {
    "Kids",         "Christian", "Religious", "Regional Mexican",
    "Classical",    "Jazz",      "Blues",     "Country",
    "Reggae",       "Metal",     "Hip Hop",   "Soul & R&B",
    "Schlager",     "Chanson",   "Bollywood", "Asian Pop",
    "Latin",        "Folk",      "World",     "Soundtrack",
    "Electronic",   "Dance",     "Chillout",  "Alternative",
    "Classic Rock", "Rock",      "Oldies",    "Easy Listening",
    "Hits",         "Pop",       "Sports",    "News",
    "Talk",         "Culture",   "Variety",
};
// Tags in their normal form, by genre.
constexpr GenreKeys kTagGenres[] = {
    {"Kids", "children|children music|childrens music|disney|enfants|infantil|kids|kids music|kinder|"
             "kinderlieder|música infantil|radio disney|детское"},
    {"Christian",
     "adventist|bible|biblia|byzantine|catholic|catholic radio|catolica|católica|ccm|chretien|"
     "christian|christian contemporary|christian gospel|christian music|christian orthodox|"
     "christian praise&worship|christian rock|christian talk|christlich|christliche musik|"
     "christmas|christmas music|chrétien|church|contemporary christian|cristian|cristiana|"
     "cristiano|ecclesia|evangelica|evangelical|evangélica|gospel|gospel music|hymns|inspirational|"
     "jesus|katholik|media kristen|musica cristiana|música cristiana|orthodox|orthodox christian|"
     "orthodoxy|pentecostal|praise|praise and worship|protestant|radio cristiana|southern gospel|"
     "spanish christian|worship|xmas|εκκλησία|ιερά μητρόπολις|ορθοδοξία"},
    {"Religious",
     "bhakti|buddhism|buddhist|devotional|dharma|espiritual|gurbani|hindu|islam|islamic|"
     "islamic radio|jewish|kirtan|nasheed|quran|quran radio|religion|religiosa|religioso|religious|"
     "religious music|sikh|spiritual|spirituality|sunnah|דתי|القرآن|القرآن الكريم|راديو القرآن"},
    {"Regional Mexican",
     "banda|banda norteña|banda tradicional|corrido|corridos|cumbia norteña|duranguense|grupera|"
     "grupera y banda|grupero|la bestia grupera|mariachi|mexican music|musica mexicana|"
     "musica popular mexicana|musica regional|musica regional mexicana|musica tradicional mexicana|"
     "música grupera|música mexicana|música popular mexicana|música regional|"
     "música regional mexicana|música tradicional mexicana|nortena|norteno|norteña|norteño|"
     "ranchera|rancheras|regional mexican|regional mexican music|regional mexicana|"
     "regional mexicano|regional music|sierreno|sierreño|tejano|tex mex|traditional mexican music"},
    {"Classical",
     "baroque|chamber music|choral|clasica|classica|classical|classical crossover|classical music|"
     "classical piano|classique|clásica|contemporary classical|early music|klasik|klassiek|klassik|"
     "klassische musik|klassisk|klasszikus|klasyka|medieval|mittelalter|musica clasica|"
     "musica clasica romantica|musica classica|musique classique|música clásica|new classics|opera|"
     "orchestra|orchestral|piano classical|symphonic|symphony|κλασική μουσική|классика|"
     "классическая музыка|古典音乐"},
    {"Jazz", "acid jazz|bebop|big band|bossa jazz|classic jazz|contemporary jazz|cool jazz|dixieland|"
             "electro swing|free jazz|jazz|jazz & blues|jazz and blues|jazz funk|jazz fusion|jazz radio|"
             "latin jazz|modern jazz|nu jazz|piano jazz|ragtime|smooth jazz|swing|vocal jazz|джаз"},
    {"Blues", "blues|blues & rock|blues rock|chicago blues|classic blues|delta blues|electric blues"},
    {"Country", "alternative country|americana|bluegrass|classic country|country|country & western|"
                "country classics|country hits|country music|country rock|honky tonk|hot country|"
                "modern country|musica sertaneja|música sertaneja|new country|outlaw country|red dirt|"
                "sertaneja|sertanejo|sertanejo raiz|western"},
    {"Reggae", "dancehall|dub|dub reggae|reggae|reggae dancehall|rocksteady|roots|roots reggae|ska"},
    {"Metal", "black metal|death metal|doom metal|folk metal|glam metal|gothic metal|hair metal|"
              "hardcore metal|heavy|heavy metal|melodic death metal|metal|metal rock|metalcore|metall|"
              "nu metal|power metal|progressive metal|speed metal|symphonic metal|thrash metal|метал"},
    {"Hip Hop", "boom bap|classic hip hop|deutschrap|drill|gangsta rap|grime|hip hop|hip hop and rap oldies|"
                "hip hop music|hip hop r&b|hip hop rap|hip hop/rap|hiphop|hiphop rap|old school hip hop|rap|"
                "rap & hip hop|rap francais|rap français|rap hip hop|rap hiphop rnb|trap|underground hip hop|"
                "хип хоп"},
    {"Soul & R&B",
     "afrobeat|afrobeats|amapiano|black|black music|classic soul|disco funk|funk|funky|groove|"
     "mainstream urban|motown|neo soul|new jack swing|northern soul|quiet storm|r n b|r&b|r&b soul|"
     "r&b urban|rare groove|rhythm and blues|rhythmic|rnb|rnb hiphop|rnb soul|rnb urban|soul|"
     "soul music|urban|urban ac|urban adult contemporary|urban contemporary"},
    {"Schlager", "blasmusik|deutsche lieder|deutsche schlager|discofox|hollandse hits|levenslied|ndw|"
                 "neue deutsche welle|oberkrainer|schlager|schlager party|schlagermusik|volksmusik|"
                 "volkstümlich|volkstümliche musik"},
    {"Chanson", "chanson|chanson francaise|chanson française|chansons|chansons françaises|french chanson|"
                "french chansons|russian chanson|variete|variete francaise|variété|variété française|шансон"},
    {"Bollywood", "bhangra|bollywood|bollywood music|bollywood songs|desi|filmi|hindi bollywood|"
                  "hindi film music|hindi film songs|hindi music|hindi songs|indian film music|indian music|"
                  "kollywood|punjabi music|tamil cinema music|tollywood"},
    {"Asian Pop",
     "anime|anime radio|anison|c pop|cantopop|chinese music|cpop|dangdut|j pop|j rock|"
     "japanese music|jpop|k pop|korean music|kpop|mandopop|opm|opm hits|pinoy|t pop|thai pop|v pop|"
     "vocaloid"},
    {"Latin", "adult spanish hits|amor sólo música romántica|axe|axé|bachata|bachatas|bailable|balada|"
              "balada en español|balada pop|balada romántica|baladas|baladas en español|bolero|boleros|"
              "bossa nova|brazilian music|brazilian pop|copla|cumbia|cumbias|flamenco|forro|forró|"
              "funk carioca|kompa|kumbia|la ke buena|latin|latin dance|latin hits|latin music|latin pop|"
              "latin rock|latin salsa|latin salsa kumbia merenge reggaeton|latin urban|latinamerican music|"
              "latino|latino pop|latino urbano|merengue|mpb|musica latina|musica latinoamericana|"
              "musica popular brasileira|musica romantica|musica tropical|musica tropical bailable|"
              "musica urbana|música española|música latina|música latinoamericana|música popular brasileira|"
              "música romántica|música tropical|música urbana|nueva trova|pagode|pop en español|pop español|"
              "pop latino|reggaeton|reggaeton latino|reggaetón|rock en español|romantica|romanticas|"
              "romántica|románticas|rumba|salsa|salsa romantica|salsas|samba|spanish adult contemporary|"
              "spanish adult hits|spanish contemporary hits|spanish pop|sólo música romántica|tango|"
              "tropical|tropical music|trova|urbana|urbano|vallenato|zouk"},
    {"Folk", "acoustic|andina|arabesk|arabesk fantazi|celtic|chamame|chamamé|criolla|dimotika|ethno|etno|"
             "fado|folclore|folk|folk music|folk pop|folk rock|folklore|folklore argentino|folklórica|"
             "greek folk|greek folk music|greek traditional|halk müziği|huayno|indie folk|irish|irish folk|"
             "irish music|joropo|laika|laiko|manele|manele și petrecere|musica criolla|musica folk|"
             "muzica populara|muzică de petrecere|muzică populară|música andina|música criolla|"
             "música llanera|narodna|narodna muzika|petrecere|polka|populară|rebetiko|romanian folk|"
             "scottish|sevdah|singer songwriter|traditional|traditional music|turbo folk|turku|türkü|"
             "zabavna|δημοτικά|λαϊκά|народная музыка|фолк"},
    {"World", "african|african gospel|african music|afro|afrobeat music|afropop|arabic music|balkan|"
              "bongo flava|calypso|caribbean|caribbean music|chaabi|ethnic|ethnic programming|gengetone|"
              "global|gnawa|gypsy|highlife|international music|khaleeji|kizomba|klezmer|kuduro|"
              "kurdish songs|latin american|mbalax|middle eastern|multicultural music|oriental|"
              "persian music|rai|reggae world|semba|soca|tribal|turkish folk|world|world fusion|"
              "world middle east|world music|worldbeat"},
    {"Soundtrack",
     "broadway|chiptune|cinema|film|film music|film score|film soundtracks|game music|gaming|movie|"
     "movie music|movie soundtracks|movies|musical|musicals|ost|retro games|score|show tunes|"
     "soundtrack|soundtracks|vgm|video game|video game music"},
    {"Electronic",
     "2 step|acid|acid house|afro house|bass|beats|breakbeat|breaks|chill house|chillwave|"
     "club house|dance & electronic|dance electronic|darkwave|deep|deep house|deep techno|"
     "detroit techno|dj|dj mix|dj mixes|dj remix|dj sets|dnb|drone|drum & bass|drum and bass|"
     "drum n bass|dubstep|ebm|edm|electro|electro deep|electro house|electro pop|electronic|"
     "electronic beats|electronic dance|electronic dance music|electronic music|"
     "electronic music radio|electronica|electropop|electrónica|electrónica musica|elektro|"
     "elektronische musik|eurobeat|experimental electronic|funky house|future bass|gabber|garage|"
     "goa|hands up|handsup|happy hardcore|hard dance|hard techno|hardcore|hardstyle|hardtrance|"
     "house|house music|idm|industrial|italo dance|jumpstyle|jungle|liquid funk|mashup|"
     "melodic techno|minimal|minimal techno|neurofunk|noise|progressive|progressive house|"
     "progressive trance|psychedelic trance|psychill|psytrance|rave|remix|remixes|soulful house|"
     "synth|synthpop|synthwave|tech house|techhouse|techno|techno music|trance|trance music|"
     "trance uplifting|trap edm|uk garage|uplifting trance|vaporwave|vocal deep|vocal trance|"
     "электроника"},
    {"Dance", "70s disco|90s dance|bailables|baile|classic dance|club|club dance|club music|clubbing|dance|"
              "dance & club|dance 90s|dance classics|dance electro|dance hits|dance music|dance party|"
              "dance pop|dance radio|dance top40|dancefloor|disco|disco music|disco polo|discoteca|"
              "electro dance|euro disco|eurodance|eurohit|europop|freestyle|hi nrg|house party|houseparty|"
              "italo|italo disco|nu disco|party|party hits|pop dance|танцевальная музыка"},
    {"Chillout",
     "ambient|ambient and relaxation music|ambient music|ambiental|atmospheric|balearic|bar|cafe|"
     "café|calm|chill|chill lounge|chill music|chill out|chillhop|chillout|chillout+lounge|"
     "deep ambient|downtempo|focus|healing|lo fi|lofi|lofi hip hop|lounge|lounge music|"
     "lounge radio|meditation|musica relajante|música relajante|nature|new age|nu lounge|peaceful|"
     "piano relax|relax|relax music|relaxation|relaxation music|relaxing|relaxing music|sleep|"
     "smooth lounge|sounds of nature|spa|space|study|trip hop|triphop|wellness|yoga|zen|релакс|"
     "спокойная музыка"},
    {"Alternative",
     "aaa|adult album alternative|adult alternative|alt rock|alternatif|alternativ|alternativa|"
     "alternative|alternative / indie|alternative indie|alternative music|alternative pop|"
     "alternative rock|avant garde|britpop|cold wave|coldwave|college rock|dark wave|emo|"
     "experimental|garage rock|gothic|gothic rock|grunge|hardcore punk|independent|"
     "independent music|indie|indie & alternative|indie alternative|indie music|indie pop|"
     "indie rock|math rock|modern rock|new rock|new wave|noise rock|pop punk|post punk|post rock|"
     "psychedelic|psychedelic rock|punk|punk rock|shoegaze|ska punk|stoner rock|triple a|"
     "underground|wave|индастриал"},
    {"Classic Rock",
     "70s rock|80s rock|album rock|aor|arena rock|art rock|classic alternative|classic rock|"
     "classic rock hits|classic rock oldies|deep cuts|glam rock|hits rock|krautrock|oldies rock|"
     "prog|prog rock|progressive rock|rock 70s|rock 80s|rock clasico|rock classic|rock classics|"
     "rock clásico|rock oldies|southern rock|yacht rock"},
    {"Rock", "active rock|contemporary pop rock|deutschrock|garage punk|hard rock|hardrock|heavy rock|"
             "mainstream rock|pop rock|pop/rock|rock|rock & pop|rock alternativo|rock and pop|"
             "rock argentino|rock ballads|rock e pop|rock en ingles|rock en inglés|rock español|rock hits|"
             "rock latino|rock music|rock music radio|rock n pop|rock nacional|rock nroll|rock pop|"
             "rock radio|rock y pop|rockradio|russian rock|soft rock|surf|surf music|surf rock|рок|"
             "русский рок"},
    {"Oldies", "00s|00s hits|1940s|1950s|1960s|1970s|1980s|1990s|2000er|2000s|2000s hits|20s|30s|40s|50er|"
               "50s|60er|60s|60s 70s|60s hits|70|70 80 hits|70er|70s|70s 80s|70s 80s 90s|70s hits|80|80er|"
               "80s|80s & 90s|80s 90s|80s en español|80s hits|90|90er|90s|90s hits|90s y más|annees 80|"
               "années 80|clasicos|clasicos en ingles|classic|classic hits|classic italian pop|classic pop|"
               "classics|clásicos|clásicos en español|clásicos en inglés|decades|doo wop|eighties|evergreen|"
               "evergreens|flashback|gold|golden hits|golden music|golden oldies|goldies|greatest hits|"
               "hits 70s|motown oldies|musica del recuerdo|música del recuerdo|nostalgia|nostalgie|old age|"
               "old school|old skool|oldie|oldies|oldies 50s/60s|oldies but goodies|oldschool|pop clasico|"
               "pop clásico|recuerdo|recuerdos|retro|retro hits|retro music|rock & roll|rock and roll|"
               "rock n roll|rockabilly|rocknroll|spanish oldies|the best of 80s|vintage|y2k|дискотека 80 х|"
               "ретро"},
    {"Easy Listening",
     "ac|acoustic covers|adult|adult contemporary|adult standards|adulta|adulto contemporaneo|"
     "adulto contemporáneo|baladas en ingles|baladas en inglés|ballads|beautiful music|"
     "contemporánea|covers|crooner|crooners|easy|easy listening|easy listening music|"
     "female vocalists|female vocals|guitar|instrumental|instrumental music|light music|lounge pop|"
     "love|love song|love songs|lovesongs|mellow|middle of the road|mor|nostalgic ballads|"
     "oldies & ballads|piano|romance|romantic|romantic ballads|romantic music|slow|smooth|soft|"
     "soft ac|soft adult contemporary|soft hits|soft music|soft pop|standards|vocal"},
    {"Hits", "adult hits|adult top 40|best hits|chart|charts|charts hits|chr|chr pop|"
             "contemporary hit radio|contemporary hits|contemporary hits radio|current hits|ehr|exitos|hit|"
             "hit music|hit radio|hitradio|hits|hits fm|hits music|hot ac|hot adult contemporary|hot hits|"
             "juvenil|latest hits|los40|mainstream top 40|new hits|new music|number 1 hits|pophit|"
             "rhythmic contemporary|rhythmic contemporary hits|rhythmic top 40|russian hits|success|"
             "super hits|todays hits|top|top 100|top 20|top 40|top 40 hits|top 40 pop|top 50|top charts|"
             "top hits|top hits radio|top100|top40|tubes|tubes actuels|uk top 40|éxitos|хит|хит fm|хиты"},
    {"Pop", "arab pop|arabic pop|dance pop hits|dutch pop|europop hits|german pop|greek hits|greek pop|"
            "italian music|italian pop|j pop radio|k pop hits|mainstream|music pop|musica italiana|"
            "musica pop|musique pop|música en español e inglés|música pop|nederlandstalig|persian pop|"
            "polish pop|polski pop|pop|pop & rock|pop 80s 90s|pop 90s|pop and rock|pop anglais|pop anglo|"
            "pop ballads|pop classics|pop divas|pop en espanol e ingles|pop en español e inglés|"
            "pop en ingles|pop en inglés|pop francais|pop français|pop greek|pop hits|pop internacional|"
            "pop internacional e nacional|pop international|pop italiana|pop italiano|pop latin|pop music|"
            "pop music radio|pop musik|pop nacional|pop persian|pop polski|pop radio|pop rnb|pop song|"
            "pop songs|pop star|popmusik|popular music|romanian pop|russian pop|teen pop|turkce pop|"
            "turkish pop|turkish pop music|türkçe pop|поп|поп музыка|流行|流行音乐"},
    {"Sports", "baseball|basketball|calcio|college football|college sports|cricket|debates y deportes|"
               "deporte|deportes|deportiva|deportivo|espn|esportes|esportes futebol|football|futbol|futebol|"
               "fútbol|golf|hockey|horse racing|live sports|local sports|mlb|motorsport|nba|ncaa football|"
               "nfl|nhl|noticias deportivas|racing|soccer|sport|sport news|sportradio|sports|sports betting|"
               "sports news|sports radio|sports talk|sportsradio|tennis|αθλητικά|спорт"},
    {"News", "actualidad|actualites|actualités|all news|business|business news|community news|"
             "cultural news|current affairs|economic news|economics|economy|finance|financial news|"
             "government|haber|haberler|info|informacion|información|information|information news|"
             "informations|informativa|informativo|informativo ntr|informazione|infos|international|"
             "international news|journalism|local government|local information|local news|local weather|"
             "market news|mvs noticias|música y noticias|nachrichten|news|news & information|news & talk|"
             "news 24/7|news and information|news and sport|news and sports|news and talk|news music|"
             "news radio|news talk|news talk music|news/talk|newsradio|nieuws|noaa|noticias|"
             "noticias cortas|noticias en español|noticias locales|noticias nacionales e internacionales|"
             "noticias opinion|noticias y comentarios|noticiero|noticieros|notizie|notícias|opinion|"
             "politica|political|politics|politics & current affairs|política|public affairs|regional news|"
             "stock market|traffic|traffic information|traffic radio broadcast|trafic...|weather|"
             "weather radio|wiadomosci|wiadomości|world news|ειδήσεις|новости|新闻|新闻综合|资讯"},
    {"Talk", "aduiodrama|agriculture|audio books|audio drama|audiobook|audiobooks|auto|call in|cars|"
             "comedia|comedie|comedy|computers|conservative|conservative talk|conspiracies|"
             "conspiracy theories|cooking|debate|drama|entrevista|entrevistas|fantasy|farming|fashion|"
             "features|food|gay|hablada|health|humor|humour|hörspiel|hörspiele|infotainment|interviews|"
             "kabarett|kids stories|language learning|lgbt|lifestyle|local talk|magazine|magazines|"
             "motivation|noticias y opinión|old time radio|opinión|otr|paranormal|phone in|podcast|"
             "podcasts|poetry|political talk|radio drama|radio hablada|radio reading service|radio shows|"
             "radio theater|radio theatre|reading service|science fiction|self help|shopping|sketches|"
             "speech|spoken word|stand up comedy|standup|stories|storytelling|talk|talk & music|"
             "talk & speech|talk music|talk news|talk radio|talk show|talk shows|talkradio|talks|talkshow|"
             "tech|technology|tertulia|tourism|travel|wellbeing|разговорное"},
    {"Culture",
     "aboriginal|art|arts|arts & culture|arts and culture|campus radio|ciencia|college|"
     "college radio|cultura|cultura y educación|cultural|cultural mexico|culturale|culture|"
     "culture & arts|culturel|culturelle|documentaries|documentary|education|educational|educativa|"
     "educativo|historia|history|indigenous|inpi|instituto nacional de los pueblos indígenas|"
     "kultur|kultura|kulturradio|literatura|literature|museum|philosophy|pueblos indígenas|"
     "radio universidad|radio universitaria|science|student|student radio|universidad|"
     "universitaire|universitaria|university|university radio|πολιτισμός|культура|教育|文化"},
    {"Variety",
     "all genres|all music|any music|crossover|divertissement|eclectic|eclectic music|"
     "eclectic programming|eclectica|eclectico|eclética|eclético|entertainment|entretenimento|"
     "entretenimiento|everything|freeform|full service|general|generalist|generalista|generaliste|"
     "généraliste|intrattenimento|misc|miscellaneous|mix|mix fm|mix music|mixed|mixed music|"
     "multi genre|multigenre|music & talk|music and talk|music mix|music variety|"
     "music variety radio|musica variada|música variada|underholdning|unterhaltung|variada|variado|"
     "variados|varied|variedad|variedades|variety|variety hits|variety music|variety radio|varios|"
     "various|various music|variété musicale|развлечения|娱乐|综合|综合台|综艺"},
};

// Words that carry their genre into any tag holding them.
constexpr GenreKeys kGenreWords[] = {
    {"Kids", "children|enfants|infantil|infantiles|kids|kinder|детское"},
    {"Christian",
     "adventist|baptist|bible|biblia|catholic|catolica|catolico|católica|católico|christ|christian|"
     "christians|christlich|chrétien|chrétienne|church|cristiana|cristiano|cristo|cristã|cristão|"
     "evangelica|evangelical|evangélica|gospel|gospelmusik|hymns|iglesia|igreja|jesus|katholisch|"
     "kirche|orthodox|pentecostal|praise|worship"},
    {"Religious", "bhakti|buddhist|devotional|gurbani|hindu|islam|islamic|jewish|quran|religion|religiosa|"
                  "religioso|religious|sikh|spiritual|اسلامی|القرآن"},
    {"Regional Mexican",
     "banda|corridos|duranguense|grupera|grupero|mariachi|norteña|norteño|ranchera|rancheras|"
     "sierreño|tejano"},
    {"Classical",
     "baroque|choral|clasica|classica|classical|classique|clásica|klasik|klassiek|klassik|klassisk|"
     "klasszikus|klasyka|opera|orchestra|orchestral|symphonic|symphony|κλασική|классика"},
    {"Jazz", "bebop|jazz|swing|джаз"},
    {"Blues", "blues"},
    {"Country", "americana|bluegrass|country|sertaneja|sertanejo"},
    {"Reggae", "dancehall|reggae|ska"},
    {"Metal", "metal|metalcore|метал"},
    {"Hip Hop", "hiphop|rap|trap"},
    {"Soul & R&B", "funk|motown|r&b|rnb|soul"},
    {"Schlager", "discofox|schlager|volksmusik"},
    {"Chanson", "chanson|chansons|шансон"},
    {"Bollywood", "bollywood|filmi"},
    {"Asian Pop", "anime|cantopop|cpop|jpop|kpop|mandopop|opm"},
    {"Latin", "bachata|balada|baladas|bolero|boleros|bossa|cumbia|cumbias|flamenco|forró|latin|latina|"
              "latino|merengue|mpb|pagode|reggaeton|reggaetón|salsa|samba|tango|tropical|vallenato"},
    {"Folk", "celtic|fado|folclore|folk|folklore|folklorica|folklórica|laiko|manele|tradicional|"
             "traditional|народная"},
    {"World", "african|afrobeat|afrobeats|caribbean|ethnic|soca|world"},
    {"Soundtrack", "cinema|film|movie|movies|soundtrack|soundtracks"},
    {"Electronic", "ambient|breakbeat|dnb|dubstep|edm|electro|electronic|electronica|electrónica|elektro|"
                   "hardstyle|house|idm|psytrance|synthwave|techno|trance|электроника"},
    {"Dance", "club|dance|disco|discoteca|eurodance|party|танцевальная"},
    {"Chillout", "chill|chillout|downtempo|lofi|lounge|meditation|relax|relaxation|relaxing"},
    {"Alternative", "alternatif|alternativ|alternativa|alternative|emo|gothic|grunge|indie|punk"},
    {"Rock", "rock|rockradio|рок"},
    {"Oldies", "50s|60er|60s|70er|70s|80er|80s|90er|90s|clasicos|clásicos|evergreens|goldies|nostalgia|"
               "nostalgie|oldies|recuerdo|recuerdos|retro|ретро"},
    {"Easy Listening",
     "ballads|instrumental|love|piano|romantic|romantica|romanticas|romántica|románticas|smooth"},
    {"Hits", "chart|charts|exitos|hits|top40|éxitos|хиты"},
    {"Pop", "pop|popmusik|поп"},
    {"Sports", "baseball|basketball|cricket|deportes|deportiva|deportivo|esportes|football|futbol|futebol|"
               "fútbol|hockey|soccer|sport|sports|спорт"},
    {"News", "actualités|business|economia|economía|informacion|información|informativa|informativo|"
             "nachrichten|news|newsradio|nieuws|noticias|noticiero|noticieros|notizie|notícias|politics|"
             "traffic|weather|новости|新闻"},
    {"Talk", "comedy|debate|drama|entrevistas|hablada|humor|humour|interviews|podcast|podcasts|speech|talk|"
             "talkradio"},
    {"Culture", "arts|campus|ciencia|college|cultura|cultural|culture|education|educativa|historia|history|"
                "kultur|literatura|literature|science|student|universidad|universitaria|university|культура"},
    {"Variety", "eclectic|variada|variado|variados|variedad|variedades|variety|varios"},
};

constexpr std::string_view kTagsWithoutGenre =
    "128 kbit/s|128 kbps|192kbps|2010s|24 hours|24/7|24h|256 kbit/s|320kbps|5g智慧电台|64 kbit/s|"
    "64kbps|aac|aac+|abc|acir|am|américa|apm|aquí nomás|arabic|ard|argentina|australia|"
    "baja california|bbc|brasil|brazil|canada|cdmx|chihuahua|chile|chinese|ciudad de mexico|"
    "ciudad de méxico|ciudad mexico|coahuila|colombia|commercial|community|community radio|"
    "contemporary|costa rica|dab+|dash|dashradio|discography|dutch|emisora|english|español|"
    "estacion|estación|exa|exa fm|flac|fm|free|french|fresh|german|greek|greek music|grupo acir|"
    "grupo audiorama comunicaciones|guadalajara|guanajuato|guatemala|guerrero|hd|hd radio|"
    "high quality audio|hindi|hls|hot|https|iheart|iheart radio|india|internet|internet radio|"
    "israel|italian|italy|jalisco|japanese|kuwait|la estación exacta|la estación naranja|la mejor|"
    "la mejor aquí nomás|la mejor fm|latinoamerica|latinoamérica|live|local|local music|"
    "local radio|low bandwidth|m3u8|mediaset|mex|mexico|mexico city|moi merino|mp3|multicultural|"
    "multimedios|multimedios radio|music|music only|music radio|musica|musica popular|mvs|"
    "mvs radio|mx|méxico|música|música en español|música en inglés|new|no ads|non commercial|"
    "non profit|non stop|non stop music|norteamérica|npr|nuevo león|online|online only|"
    "online radio|only music|poland|polish|ponte exa|popular|portugal|pri|public|public radio|"
    "public service|puebla|pública|radcap|radio|radio caprice|radio france|radio online|"
    "radio pública|radiorama|radiópolis|radyo|regional|regional radio|romania|romanian|russia|"
    "russian|rádio|sinaloa|social|sonora|spain|spanish|station|stream|streaming|super|sureste|"
    "tamaulipas|tamil|toronto|turkey|tv|usa|valle de méxico|veracruz|waynesboro|web radio|webradio|"
    "youth|радио|地方台|广播|电台|电视|电视伴音|音乐";

constexpr TableEntry kCountryNames[] = {
    {"AD", "Andorra"},
    {"AE", "United Arab Emirates"},
    {"AF", "Afghanistan"},
    {"AG", "Antigua and Barbuda"},
    {"AI", "Anguilla"},
    {"AL", "Albania"},
    {"AM", "Armenia"},
    {"AO", "Angola"},
    {"AQ", "Antarctica"},
    {"AR", "Argentina"},
    {"AS", "American Samoa"},
    {"AT", "Austria"},
    {"AU", "Australia"},
    {"AW", "Aruba"},
    {"AX", "Åland Islands"},
    {"AZ", "Azerbaijan"},
    {"BA", "Bosnia and Herzegovina"},
    {"BB", "Barbados"},
    {"BD", "Bangladesh"},
    {"BE", "Belgium"},
    {"BF", "Burkina Faso"},
    {"BG", "Bulgaria"},
    {"BH", "Bahrain"},
    {"BI", "Burundi"},
    {"BJ", "Benin"},
    {"BL", "Saint Barthélemy"},
    {"BM", "Bermuda"},
    {"BN", "Brunei"},
    {"BO", "Bolivia"},
    {"BQ", "Caribbean Netherlands"},
    {"BR", "Brazil"},
    {"BS", "Bahamas"},
    {"BT", "Bhutan"},
    {"BV", "Bouvet Island"},
    {"BW", "Botswana"},
    {"BY", "Belarus"},
    {"BZ", "Belize"},
    {"CA", "Canada"},
    {"CC", "Cocos (Keeling) Islands"},
    {"CD", "Democratic Republic of the Congo"},
    {"CF", "Central African Republic"},
    {"CG", "Republic of the Congo"},
    {"CH", "Switzerland"},
    {"CI", "Côte d'Ivoire"},
    {"CK", "Cook Islands"},
    {"CL", "Chile"},
    {"CM", "Cameroon"},
    {"CN", "China"},
    {"CO", "Colombia"},
    {"CR", "Costa Rica"},
    {"CU", "Cuba"},
    {"CV", "Cape Verde"},
    {"CW", "Curaçao"},
    {"CX", "Christmas Island"},
    {"CY", "Cyprus"},
    {"CZ", "Czechia"},
    {"DE", "Germany"},
    {"DG", "Diego Garcia"},
    {"DJ", "Djibouti"},
    {"DK", "Denmark"},
    {"DM", "Dominica"},
    {"DO", "Dominican Republic"},
    {"DZ", "Algeria"},
    {"EA", "Ceuta and Melilla"},
    {"EC", "Ecuador"},
    {"EE", "Estonia"},
    {"EG", "Egypt"},
    {"EH", "Western Sahara"},
    {"ER", "Eritrea"},
    {"ES", "Spain"},
    {"ET", "Ethiopia"},
    {"FI", "Finland"},
    {"FJ", "Fiji"},
    {"FK", "Falkland Islands"},
    {"FM", "Micronesia"},
    {"FO", "Faroe Islands"},
    {"FR", "France"},
    {"GA", "Gabon"},
    {"GB", "United Kingdom"},
    {"GD", "Grenada"},
    {"GE", "Georgia"},
    {"GF", "French Guiana"},
    {"GG", "Guernsey"},
    {"GH", "Ghana"},
    {"GI", "Gibraltar"},
    {"GL", "Greenland"},
    {"GM", "Gambia"},
    {"GN", "Guinea"},
    {"GP", "Guadeloupe"},
    {"GQ", "Equatorial Guinea"},
    {"GR", "Greece"},
    {"GS", "South Georgia and the South Sandwich Islands"},
    {"GT", "Guatemala"},
    {"GU", "Guam"},
    {"GW", "Guinea-Bissau"},
    {"GY", "Guyana"},
    {"HK", "Hong Kong"},
    {"HM", "Heard Island and McDonald Islands"},
    {"HN", "Honduras"},
    {"HR", "Croatia"},
    {"HT", "Haiti"},
    {"HU", "Hungary"},
    {"IC", "Canary Islands"},
    {"ID", "Indonesia"},
    {"IE", "Ireland"},
    {"IL", "Israel"},
    {"IM", "Isle of Man"},
    {"IN", "India"},
    {"IO", "British Indian Ocean Territory"},
    {"IQ", "Iraq"},
    {"IR", "Iran"},
    {"IS", "Iceland"},
    {"IT", "Italy"},
    {"JE", "Jersey"},
    {"JM", "Jamaica"},
    {"JO", "Jordan"},
    {"JP", "Japan"},
    {"KE", "Kenya"},
    {"KG", "Kyrgyzstan"},
    {"KH", "Cambodia"},
    {"KI", "Kiribati"},
    {"KM", "Comoros"},
    {"KN", "Saint Kitts and Nevis"},
    {"KP", "North Korea"},
    {"KR", "South Korea"},
    {"KW", "Kuwait"},
    {"KY", "Cayman Islands"},
    {"KZ", "Kazakhstan"},
    {"LA", "Laos"},
    {"LB", "Lebanon"},
    {"LC", "Saint Lucia"},
    {"LI", "Liechtenstein"},
    {"LK", "Sri Lanka"},
    {"LR", "Liberia"},
    {"LS", "Lesotho"},
    {"LT", "Lithuania"},
    {"LU", "Luxembourg"},
    {"LV", "Latvia"},
    {"LY", "Libya"},
    {"MA", "Morocco"},
    {"MC", "Monaco"},
    {"MD", "Moldova"},
    {"ME", "Montenegro"},
    {"MF", "Saint Martin"},
    {"MG", "Madagascar"},
    {"MH", "Marshall Islands"},
    {"MK", "North Macedonia"},
    {"ML", "Mali"},
    {"MM", "Myanmar"},
    {"MN", "Mongolia"},
    {"MO", "Macao"},
    {"MP", "Northern Mariana Islands"},
    {"MQ", "Martinique"},
    {"MR", "Mauritania"},
    {"MS", "Montserrat"},
    {"MT", "Malta"},
    {"MU", "Mauritius"},
    {"MV", "Maldives"},
    {"MW", "Malawi"},
    {"MX", "Mexico"},
    {"MY", "Malaysia"},
    {"MZ", "Mozambique"},
    {"NA", "Namibia"},
    {"NC", "New Caledonia"},
    {"NE", "Niger"},
    {"NF", "Norfolk Island"},
    {"NG", "Nigeria"},
    {"NI", "Nicaragua"},
    {"NL", "Netherlands"},
    {"NO", "Norway"},
    {"NP", "Nepal"},
    {"NR", "Nauru"},
    {"NU", "Niue"},
    {"NZ", "New Zealand"},
    {"OM", "Oman"},
    {"PA", "Panama"},
    {"PE", "Peru"},
    {"PF", "French Polynesia"},
    {"PG", "Papua New Guinea"},
    {"PH", "Philippines"},
    {"PK", "Pakistan"},
    {"PL", "Poland"},
    {"PM", "Saint Pierre and Miquelon"},
    {"PN", "Pitcairn Islands"},
    {"PR", "Puerto Rico"},
    {"PS", "Palestine"},
    {"PT", "Portugal"},
    {"PW", "Palau"},
    {"PY", "Paraguay"},
    {"QA", "Qatar"},
    {"RE", "Réunion"},
    {"RO", "Romania"},
    {"RS", "Serbia"},
    {"RU", "Russia"},
    {"RW", "Rwanda"},
    {"SA", "Saudi Arabia"},
    {"SB", "Solomon Islands"},
    {"SC", "Seychelles"},
    {"SD", "Sudan"},
    {"SE", "Sweden"},
    {"SG", "Singapore"},
    {"SH", "Saint Helena"},
    {"SI", "Slovenia"},
    {"SJ", "Svalbard and Jan Mayen"},
    {"SK", "Slovakia"},
    {"SL", "Sierra Leone"},
    {"SM", "San Marino"},
    {"SN", "Senegal"},
    {"SO", "Somalia"},
    {"SR", "Suriname"},
    {"SS", "South Sudan"},
    {"ST", "São Tomé and Príncipe"},
    {"SV", "El Salvador"},
    {"SX", "Sint Maarten"},
    {"SY", "Syria"},
    {"SZ", "Eswatini"},
    {"TC", "Turks and Caicos Islands"},
    {"TD", "Chad"},
    {"TF", "French Southern Territories"},
    {"TG", "Togo"},
    {"TH", "Thailand"},
    {"TJ", "Tajikistan"},
    {"TK", "Tokelau"},
    {"TL", "Timor-Leste"},
    {"TM", "Turkmenistan"},
    {"TN", "Tunisia"},
    {"TO", "Tonga"},
    {"TR", "Turkey"},
    {"TT", "Trinidad and Tobago"},
    {"TV", "Tuvalu"},
    {"TW", "Taiwan"},
    {"TZ", "Tanzania"},
    {"UA", "Ukraine"},
    {"UG", "Uganda"},
    {"UM", "United States Minor Outlying Islands"},
    {"US", "United States"},
    {"UY", "Uruguay"},
    {"UZ", "Uzbekistan"},
    {"VA", "Vatican City"},
    {"VC", "Saint Vincent and the Grenadines"},
    {"VE", "Venezuela"},
    {"VG", "British Virgin Islands"},
    {"VI", "U.S. Virgin Islands"},
    {"VN", "Vietnam"},
    {"VU", "Vanuatu"},
    {"WF", "Wallis and Futuna"},
    {"WS", "Samoa"},
    {"XK", "Kosovo"},
    {"YE", "Yemen"},
    {"YT", "Mayotte"},
    {"ZA", "South Africa"},
    {"ZM", "Zambia"},
    {"ZW", "Zimbabwe"},
};

// Spellings in their normal form, by English name.
constexpr GenreKeys kLanguageNames[] = {
    {"Abkhazian", "ab|abk|abkhazian"},
    {"Achinese", "ace|achinese"},
    {"Acoli", "ach|acoli"},
    {"Adangme", "ada|adangme"},
    {"Adyghe", "ady|adyghe"},
    {"Afar", "aa|aar|afar"},
    {"Afrihili", "afh|afrihili"},
    {"Afrikaans", "af|afr|afrikaans"},
    {"Aghem", "aghem|agq"},
    {"Ainu", "ain|ainu"},
    {"Akan", "ak|aka|akan"},
    {"Akkadian", "akk|akkadian"},
    {"Akoose", "akoose|bss"},
    {"Alabama", "akz|alabama"},
    {"Albanian", "alb|albania|albanian|shqip|sq|sqi"},
    {"Aleut", "ale|aleut"},
    {"Algerian Arabic", "algerian arabic|arq"},
    {"American Sign Language", "american sign language|ase"},
    {"Amharic", "am|amh|amharic|አማርኛ"},
    {"Ancient Egyptian", "ancient egyptian|egy"},
    {"Ancient Greek", "ancient greek|grc"},
    {"Angika", "angika|anp"},
    {"Ao Naga", "ao naga|njo"},
    {"Arabic", "ar|ara|arab|arabe|arabic|arabisch|arapça|srabic|árabe|العربية|العربيه|عربى|عربي"},
    {"Aragonese", "an|aragonese|arg"},
    {"Aramaic", "aramaic|arc"},
    {"Araona", "araona|aro"},
    {"Arapaho", "arapaho|arp"},
    {"Arawak", "arawak|arw"},
    {"Armenian", "arm|armenian|hayeren|hy|hye|հայերեն"},
    {"Aromanian", "aromanian|rup"},
    {"Arpitan", "arpitan|frp"},
    {"Assamese", "as|asm|assamese|অসমীয়া"},
    {"Asturian", "ast|asturian|asturianu"},
    {"Asu", "asa|asu|kipare"},
    {"Atsam", "atsam|cch"},
    {"Avaric", "av|ava|avaric"},
    {"Avestan", "ae|ave|avestan"},
    {"Awadhi", "awa|awadhi"},
    {"Aymara", "ay|aym|aymara"},
    {"Azerbaijani", "az|aze|azerbaijani|azeri|azərbaycan|azərbaycanca"},
    {"Badaga", "badaga|bfq"},
    {"Bafia", "bafia|ksf|rikpa"},
    {"Bafut", "bafut|bfd"},
    {"Bakhtiari", "bakhtiari|bqi"},
    {"Balinese", "balinese|ban"},
    {"Baluchi", "bal|baluchi"},
    {"Bambara", "bam|bamanakan|bambara|bm"},
    {"Bamun", "bamun|bax"},
    {"Banjar", "banjar|bjn"},
    {"Basaa", "bas|basaa|ɓàsàa"},
    {"Bashkir", "ba|bak|bashkir"},
    {"Basque", "baq|basque|eu|eus|euskara|euskera"},
    {"Batak Toba", "batak toba|bbc"},
    {"Bavarian", "bar|bavarian|bayrisch"},
    {"Beja", "bej|beja"},
    {"Belarusian", "be|bel|belarus|belarusian|беларуская|беларуская мова|білоруська"},
    {"Bemba", "bem|bemba|ichibemba"},
    {"Bena", "bena|bez|hibena"},
    {"Bengali", "bangla|bangladesh|ben|bengali|bn|বাংলা"},
    {"Betawi", "betawi|bew"},
    {"Bhojpuri", "bho|bhojpuri|भोजपुरी"},
    {"Bikol", "bicolano|bik|bikol|bikolano"},
    {"Bini", "bin|bini"},
    {"Bishnupriya", "bishnupriya|bpy"},
    {"Bislama", "bi|bis|bislama"},
    {"Blin", "blin|byn"},
    {"Blissymbols", "blissymbols|zbl"},
    {"Bodo", "bodo|brx|बर’"},
    {"Bosnian", "bos|bosanski|bosnia|bosnian|bs"},
    {"Brahui", "brahui|brh"},
    {"Braj", "bra|braj"},
    {"Breton", "br|bre|breton|brezhoneg"},
    {"Buginese", "bug|buginese"},
    {"Bulgarian", "bg|bul|bulgaria|bulgarian|български"},
    {"Bulu", "bulu|bum"},
    {"Buriat", "bua|buriat"},
    {"Burmese", "bur|burmese|my|mya|myanmar|မြန်မာ"},
    {"Caddo", "cad|caddo"},
    {"Cajun French", "cajun french|frc"},
    {"Cantonese", "cantonese|cantonese chinese|yue|广东话|廣東話|粤语|粵語"},
    {"Capiznon", "capiznon|cps"},
    {"Carib", "car|carib"},
    {"Catalan", "ca|cat|catala|catalan|català|valencian|valencià"},
    {"Cayuga", "cay|cayuga"},
    {"Cebuano", "binisaya|bisaya|ceb|cebuano|visayan"},
    {"Central Atlas Tamazight", "central atlas tamazight|tamaziɣt n laṭlaṣ|tzm"},
    {"Central Dusun", "central dusun|dtp"},
    {"Central Kurdish", "central kurdish|ckb|کوردیی ناوەندی"},
    {"Central Yupik", "central yupik|esu"},
    {"Chadian Arabic", "chadian arabic|shu"},
    {"Chagatai", "chagatai|chg"},
    {"Chakma", "ccp|chakma|𑄌𑄋𑄴𑄟𑄳𑄦"},
    {"Chamorro", "ch|cha|chamorro"},
    {"Chechen", "ce|che|chechen|нохчийн"},
    {"Cherokee", "cherokee|chr|ꮳꮃꭹ"},
    {"Cheyenne", "cheyenne|chy"},
    {"Chibcha", "chb|chibcha"},
    {"Chiga", "cgg|chiga|rukiga"},
    {"Chimborazo Highland Quichua", "chimborazo highland quichua|qug"},
    {"Chinese", "chi|china|chinese|chinese mandarin|chinese simplified|chinese traditional|cmn|mandarin|"
                "mandarin chinese|zh|zho|中文|华语|国语|國語|普通话|汉语|華語"},
    {"Chinook Jargon", "chinook jargon|chn"},
    {"Chipewyan", "chipewyan|chp"},
    {"Choctaw", "cho|choctaw"},
    {"Church Slavic", "chu|church slavic|cu"},
    {"Chuukese", "chk|chuukese"},
    {"Chuvash", "chuvash|chv|cv|чӑваш"},
    {"Classical Newari", "classical newari|nwc"},
    {"Classical Syriac", "classical syriac|syc"},
    {"Colognian", "colognian|ksh|kölsch"},
    {"Comorian", "comorian|swb"},
    {"Coptic", "cop|coptic"},
    {"Cornish", "cor|cornish|kernewek|kw"},
    {"Corsican", "co|corsican|corsu|cos"},
    {"Cree", "cr|cre|cree"},
    {"Crimean Tatar", "crh|crimean tatar"},
    {"Croatian", "croatia|croatian|hr|hrv|hrvatski"},
    {"Czech", "ces|cesky|cestina|cs|cz|cze|czech|czech republic|czesky|česky|čeština"},
    {"Dakota", "dak|dakota"},
    {"Danish", "da|dan|danish|dansk|denmark"},
    {"Dargwa", "dar|dargwa"},
    {"Dari", "dari"},
    {"Dazaga", "dazaga|dzg"},
    {"Delaware", "del|delaware"},
    {"Dinka", "din|dinka"},
    {"Divehi", "dhivehi|div|divehi|dv"},
    {"Dogri", "dogri|doi|डोगरी"},
    {"Dogrib", "dgr|dogrib"},
    {"Duala", "dua|duala|duálá"},
    {"Dutch", "dut|dutch|flammish|flemish|holland|nederlands|nederlandse|netherlands|nl|nld|vlaams"},
    {"Dyula", "dyu|dyula"},
    {"Dzongkha", "dz|dzo|dzongkha|རྫོང་ཁ"},
    {"Eastern Frisian", "eastern frisian|frs"},
    {"Efik", "efi|efik"},
    {"Egyptian Arabic", "arz|egyptian arabic"},
    {"Ekajuk", "eka|ekajuk"},
    {"Elamite", "elamite|elx"},
    {"Embu", "ebu|embu|kĩembu"},
    {"Emilian", "egl|emilian"},
    {"English", "american|american english|angielski|anglais|australian|british|british english|canadian|"
                "caribbean english|egnlish|en|eng|engels|engilsh|engilsh uk|engish|englanti|englis|englisch|"
                "englisg|english|english uk|english us|englisha|englisih|englisj|englsh|englsih|enlish|"
                "ingilizce|ingles|inglese|inglés|inglês|uk english|us english|английский"},
    {"Erzya", "erzya|myv"},
    {"Esperanto", "eo|epo|esperanto"},
    {"Estonian", "eesti|est|estonia|estonian|et"},
    {"Ewe", "ee|ewe|eʋegbe"},
    {"Ewondo", "ewo|ewondo"},
    {"Extremaduran", "ext|extremaduran"},
    {"Fang", "fan|fang"},
    {"Fanti", "fanti|fat"},
    {"Faroese", "fao|faroese|fo|føroyskt"},
    {"Fiji Hindi", "fiji hindi|hif"},
    {"Fijian", "fij|fijian|fj"},
    {"Filipino", "fil|filipino|philippines|pilipino"},
    {"Finnish", "fi|fin|finish|finland|finnish|suomi"},
    {"Fon", "fon"},
    {"Frafra", "frafra|gur"},
    {"French", "canadian french|fr|fra|francais|francaise|france|frances|francese|franch|francés|französisch|"
               "français|française|fre|french|french canadian|frensh|французский"},
    {"Friulian", "friulian|fur|furlan"},
    {"Fula", "ff|ful|fula|fulani|fulfulde|pulaar"},
    {"Ga", "ga|gaa"},
    {"Gagauz", "gag|gagauz"},
    {"Galician", "galego|galician|gl|glg"},
    {"Gan Chinese", "gan|gan chinese"},
    {"Garifuna", "garifuna"},
    {"Gayo", "gay|gayo"},
    {"Gbaya", "gba|gbaya"},
    {"Geez", "geez|gez"},
    {"Georgian", "geo|georgian|ka|kartuli|kat|ქართული"},
    {"German", "aleman|alemán|allemand|austrian|de|deu|deutsch|deutsche|ger|german|german language|germany|"
               "germna|gernan|niemiecki|tedesco|немецкий|德语"},
    {"Gheg Albanian", "aln|gheg albanian"},
    {"Ghomala", "bbj|ghomala"},
    {"Gilaki", "gilaki|glk"},
    {"Gilbertese", "gil|gilbertese"},
    {"Goan Konkani", "goan konkani|gom"},
    {"Gondi", "gon|gondi"},
    {"Gorontalo", "gor|gorontalo"},
    {"Gothic", "got|gothic"},
    {"Grebo", "grb|grebo"},
    {"Greek", "el|ell|ellinika|gre|greece|greek|griechisch|ελληνικά|ελληνικα"},
    {"Guarani", "gn|grn|guarani|guaraní"},
    {"Gujarati", "gu|guj|gujarati|gujrati|ગુજરાતી"},
    {"Gusii", "ekegusii|gusii|guz"},
    {"Gwichʼin", "gwi|gwichʼin"},
    {"Haida", "hai|haida"},
    {"Haitian Creole", "créole haïtien|haitian|haitian creole|hat|ht|kreyol|kreyòl"},
    {"Hakka Chinese", "hak|hakka|hakka chinese|客家話|客家话"},
    {"Haryanvi", "bgc|haryanvi|हरियाणवी"},
    {"Hausa", "ha|hau|hausa"},
    {"Hawaiian", "haw|hawaiian|ʻōlelo hawaiʻi"},
    {"Hebrew", "he|heb|hebrew|israel|ivrit|עברית"},
    {"Herero", "her|herero|hz"},
    {"Hiligaynon", "hil|hiligaynon"},
    {"Hindi", "hi|hin|hindi|हिंदी|हिन्दी"},
    {"Hiri Motu", "hiri motu|hmo|ho"},
    {"Hittite", "hit|hittite"},
    {"Hmong", "hmn|hmong"},
    {"Hokkien", "hokkien|min nan|nan|taiwanese|閩南語|闽南语"},
    {"Hungarian", "hu|hun|hungarian|hungary|magyar"},
    {"Hupa", "hup|hupa"},
    {"Iban", "iba|iban"},
    {"Ibibio", "ibb|ibibio"},
    {"Icelandic", "ice|iceland|icelandic|is|isl|íslenska"},
    {"Ido", "ido|io"},
    {"Igbo", "ibo|ig|igbo"},
    {"Ilocano", "ilocano"},
    {"Iloko", "ilo|iloko"},
    {"Inari Sami", "anarâškielâ|inari sami|smn"},
    {"Indonesian", "bahasa|bahasa indonesia|id|ind|indonesia|indonesian"},
    {"Ingrian", "ingrian|izh"},
    {"Ingush", "ingush|inh"},
    {"Interlingua", "ia|ina|interlingua"},
    {"Interlingue", "ie|ile|interlingue"},
    {"Inuktitut", "iku|inuktitut|iu"},
    {"Inupiaq", "ik|inupiaq|ipk"},
    {"Irish", "gaeilge|gle|irish"},
    {"Italian", "it|ita|italia|italian|italiano|italien|italienisch|italy"},
    {"Jamaican Creole English", "jam|jamaican creole english"},
    {"Japanese", "ja|japan|japanese|japones|japonés|jpn|日本語"},
    {"Javanese", "jav|javanese|jawa|jv"},
    {"Jju", "jju|kaj"},
    {"Jola-Fonyi", "dyo|jola-fonyi|joola"},
    {"Judeo-Arabic", "jrb|judeo-arabic"},
    {"Judeo-Persian", "jpr|judeo-persian"},
    {"Jutish", "jut|jutish"},
    {"Kabardian", "kabardian|kbd"},
    {"Kabuverdianu", "kabuverdianu|kea"},
    {"Kabyle", "kab|kabyle|taqbaylit"},
    {"Kachin", "kac|kachin"},
    {"Kaingang", "kaingang|kanhgág|kgp"},
    {"Kako", "kako|kakɔ|kkj"},
    {"Kalaallisut", "kal|kalaallisut|kl"},
    {"Kalenjin", "kalenjin|kln"},
    {"Kalmyk", "kalmyk|xal"},
    {"Kamba", "kam|kamba|kikamba"},
    {"Kanembu", "kanembu|kbl"},
    {"Kannada", "kan|kannada|kn|ಕನ್ನಡ"},
    {"Kanuri", "kanuri|kau|kr"},
    {"Kara-Kalpak", "kaa|kara-kalpak"},
    {"Karachay-Balkar", "karachay-balkar|krc"},
    {"Karelian", "karelian|krl"},
    {"Kashmiri", "kas|kashmiri|ks|کٲشُر"},
    {"Kashubian", "csb|kashubian"},
    {"Kawi", "kaw|kawi"},
    {"Kazakh", "kaz|kazakh|kk|qazaq|қазақ тілі|қазақша"},
    {"Kenyang", "ken|kenyang"},
    {"Khasi", "kha|khasi"},
    {"Khmer", "cambodian|khm|khmer|km|ខ្មែរ"},
    {"Khotanese", "kho|khotanese"},
    {"Khowar", "khowar|khw"},
    {"Kichwa", "kichwa"},
    {"Kikuyu", "gikuyu|ki|kik|kikuyu"},
    {"Kimbundu", "kimbundu|kmb"},
    {"Kinaray-a", "kinaray-a|krj"},
    {"Kinyarwanda", "kin|kinyarwanda|rw"},
    {"Kirmanjki", "kirmanjki|kiu"},
    {"Klingon", "klingon|tlh"},
    {"Kom", "bkm|kom"},
    {"Komi", "komi|kv"},
    {"Komi-Permyak", "koi|komi-permyak"},
    {"Kongo", "kg|kon|kongo"},
    {"Konkani", "kok|konkani|कोंकणी"},
    {"Korean", "ko|kor|korea|korean|한국어"},
    {"Koro", "kfo|koro"},
    {"Kosraean", "kos|kosraean"},
    {"Kotava", "avk|kotava"},
    {"Koyra Chiini", "khq|koyra chiini|koyra ciini"},
    {"Koyraboro Senni", "koyraboro senni|ses"},
    {"Kpelle", "kpe|kpelle"},
    {"Krio", "kri|krio"},
    {"Kuanyama", "kj|kua|kuanyama"},
    {"Kumyk", "kum|kumyk"},
    {"Kurdish", "ku|kur|kurdi|kurdish|kurdî|kurmanji|kürtçe|sorani"},
    {"Kurukh", "kru|kurukh"},
    {"Kutenai", "kut|kutenai"},
    {"Kwasio", "kwasio|nmg"},
    {"Kyrgyz", "kir|ky|kyrgyz|кыргызча"},
    {"Kʼicheʼ", "kʼicheʼ|quc"},
    {"Ladino", "lad|ladino"},
    {"Lakota", "lakota|lakȟólʼiyapi|lkt"},
    {"Lamba", "lam|lamba"},
    {"Langi", "kɨlaangi|lag|langi"},
    {"Lao", "lao|lo|ລາວ"},
    {"Latgalian", "latgalian|ltg"},
    {"Latin", "la|lat|latin|latina"},
    {"Latvian", "latvia|latvian|latviešu|lav|lv"},
    {"Laz", "laz|lzz"},
    {"Lezghian", "lez|lezghian"},
    {"Ligurian", "ligurian|lij"},
    {"Limburgish", "li|lim|limburgish"},
    {"Lingala", "lin|lingala|lingála|ln"},
    {"Lingua Franca Nova", "lfn|lingua franca nova"},
    {"Literary Chinese", "literary chinese|lzh"},
    {"Lithuanian", "lietuvių|lit|lithuania|lithuanian|lt"},
    {"Livonian", "liv|livonian"},
    {"Lojban", "jbo|lojban"},
    {"Lombard", "lmo|lombard"},
    {"Low German", "low german|nds|platt|plattdeutsch|plattdüütsch"},
    {"Lower Silesian", "lower silesian|sli"},
    {"Lower Sorbian", "dolnoserbšćina|dsb|lower sorbian"},
    {"Lozi", "loz|lozi"},
    {"Luba-Katanga", "lu|lub|luba-katanga|tshiluba"},
    {"Luba-Lulua", "lua|luba-lulua"},
    {"Luganda", "ganda|lg|lug|luganda"},
    {"Luiseno", "lui|luiseno"},
    {"Lule Sami", "lule sami|smj"},
    {"Lunda", "lun|lunda"},
    {"Luo", "dholuo|luo"},
    {"Luxembourgish", "lb|letzebuergesch|ltz|luxembourgish|lëtzebuergesch"},
    {"Luyia", "luluhia|luy|luyia"},
    {"Maba", "maba|mde"},
    {"Macedonian", "mac|macedonian|makedonski|mk|mkd|македонски"},
    {"Machame", "jmc|kimachame|machame"},
    {"Madurese", "mad|madurese"},
    {"Mafa", "maf|mafa"},
    {"Magahi", "mag|magahi"},
    {"Main-Franconian", "main-franconian|vmf"},
    {"Maithili", "mai|maithili|मैथिली"},
    {"Makasar", "mak|makasar"},
    {"Makhuwa-Meetto", "makhuwa-meetto|makua|mgh"},
    {"Makonde", "chimakonde|kde|makonde"},
    {"Malagasy", "malagasy|mg|mlg"},
    {"Malay", "bahasa melayu|malay|malaysia|may|melayu|ms|msa"},
    {"Malayalam", "mal|malayalam|ml|മലയാളം"},
    {"Maltese", "maltese|malti|mlt|mt"},
    {"Manchu", "manchu|mnc"},
    {"Mandar", "mandar|mdr"},
    {"Mandingo", "man|mandingo"},
    {"Manipuri", "manipuri|mni|মৈতৈলোন্"},
    {"Manx", "gaelg|glv|gv|manx"},
    {"Mapuche", "arn|mapuche"},
    {"Marathi", "mar|marathi|mr|मराठी"},
    {"Mari", "chm|mari"},
    {"Marshallese", "mah|marshallese|mh"},
    {"Marwari", "marwari|mwr"},
    {"Masaba", "lumasaba|masaba"},
    {"Masai", "maa|mas|masai"},
    {"Mazanderani", "mazanderani|mzn|مازرونی"},
    {"Medumba", "byv|medumba"},
    {"Mende", "men|mende"},
    {"Mentawai", "mentawai|mwv"},
    {"Meru", "kĩmĩrũ|mer|meru"},
    {"Metaʼ", "metaʼ|mgo"},
    {"Mi'kmaq", "mi'kmaq|mic"},
    {"Middle Dutch", "dum|middle dutch"},
    {"Middle English", "enm|middle english"},
    {"Middle French", "frm|middle french"},
    {"Middle High German", "gmh|middle high german"},
    {"Middle Irish", "mga|middle irish"},
    {"Minangkabau", "min|minangkabau"},
    {"Mingrelian", "mingrelian|xmf"},
    {"Mirandese", "mirandese|mwl"},
    {"Mizo", "lus|mizo"},
    {"Mohawk", "moh|mohawk"},
    {"Moksha", "mdf|moksha"},
    {"Mongo", "lol|mongo"},
    {"Mongolian", "mn|mon|mongolian|монгол"},
    {"Montenegrin", "crnogorski|montenegrin|montenegro"},
    {"Morisyen", "kreol morisien|mfe|morisyen"},
    {"Moroccan Arabic", "ary|moroccan arabic"},
    {"Mossi", "mos|mossi"},
    {"Multilingual", "multi lingual|multi-language|multilanguage|multilingual|various languages"},
    {"Mundang", "mua|mundang|mundaŋ"},
    {"Muscogee", "mus|muscogee"},
    {"Muslim Tat", "muslim tat|ttt"},
    {"Myene", "mye|myene"},
    {"Māori", "mi|mri|māori"},
    {"Nahuatl", "nahuatl"},
    {"Najdi Arabic", "ars|najdi arabic|اللهجة النجدية"},
    {"Nama", "khoekhoegowab|nama|naq"},
    {"Nauru", "na|nau|nauru"},
    {"Navajo", "nav|navajo|nv"},
    {"Ndonga", "ndo|ndonga|ng"},
    {"Neapolitan", "nap|neapolitan"},
    {"Nepali", "ne|nep|nepali|नेपाली"},
    {"Newari", "new|newari"},
    {"Ngambay", "ngambay|sba"},
    {"Ngiemboon", "ngiemboon|nnh|shwóŋò ngiembɔɔn"},
    {"Ngomba", "jgo|ndaꞌa|ngomba"},
    {"Nheengatu", "nheengatu|nheẽgatu|yrl"},
    {"Nias", "nia|nias"},
    {"Nigerian Pidgin", "naijíriá píjin|nigerian pidgin|pcm"},
    {"Niuean", "niu|niuean"},
    {"Nogai", "nog|nogai"},
    {"North Ndebele", "isindebele|nd|nde|north ndebele"},
    {"Northern Frisian", "frr|northern frisian"},
    {"Northern Luri", "lrc|northern luri|لۊری شومالی"},
    {"Northern Sami", "davvisámegiella|northern sami|se|sme"},
    {"Northern Sotho", "northern sotho|nso"},
    {"Norwegian", "no|nor|norsk|norway|norwegian"},
    {"Norwegian Bokmål", "nb|nob|norsk bokmål|norwegian bokmål"},
    {"Norwegian Nynorsk", "nn|nno|norsk nynorsk|norwegian nynorsk"},
    {"Novial", "nov|novial"},
    {"Nuer", "nuer|nus|thok nath"},
    {"Nyamwezi", "nyamwezi|nym"},
    {"Nyanja", "ny|nya|nyanja"},
    {"Nyankole", "lunyankole|nyankole|nyn|runyankole|runyankore"},
    {"Nyasa Tonga", "nyasa tonga|tog"},
    {"Nyoro", "nyo|nyoro"},
    {"Nzima", "nzi|nzima"},
    {"N’Ko", "nqo|n’ko"},
    {"Occitan", "oc|occitan|oci"},
    {"Odia", "odia|or|ori|oriya|ଓଡ଼ିଆ"},
    {"Ojibwa", "oj|oji|ojibwa"},
    {"Old English", "ang|old english"},
    {"Old French", "fro|old french"},
    {"Old High German", "goh|old high german"},
    {"Old Irish", "old irish|sga"},
    {"Old Norse", "non|old norse"},
    {"Old Persian", "old persian|peo"},
    {"Old Provençal", "old provençal|pro"},
    {"Oromo", "om|orm|oromo|oromoo"},
    {"Osage", "osa|osage"},
    {"Ossetic", "os|oss|ossetic|ирон"},
    {"Ottoman Turkish", "ota|ottoman turkish"},
    {"Pahlavi", "pahlavi|pal"},
    {"Palatine German", "palatine german|pfl"},
    {"Palauan", "palauan|pau"},
    {"Pali", "pali|pi|pli"},
    {"Pampanga", "pam|pampanga"},
    {"Pangasinan", "pag|pangasinan"},
    {"Papiamento", "pap|papiamento|papiamentu"},
    {"Pashto", "pashto|pashtu|ps|pus|pushto|پښتو"},
    {"Pennsylvania German", "pdc|pennsylvania german"},
    {"Persian", "fa|farsi|fas|iran|per|persian|فارسی"},
    {"Phoenician", "phn|phoenician"},
    {"Picard", "pcd|picard"},
    {"Piedmontese", "piedmontese|pms"},
    {"Plautdietsch", "pdt|plautdietsch"},
    {"Pohnpeian", "pohnpeian|pon"},
    {"Polish", "pl|pol|poland|polish|polska|polski"},
    {"Pontic", "pnt|pontic"},
    {"Portuguese", "brasil|brasileiro|brazil|brazilian|brazilian portuguese|por|porguês|portguese|portoguese|"
                   "portugal|portugese|portugues|portuguese|portuguese (brazil)|portuguese brazil|portugués|"
                   "português|português brasileiro|pt"},
    {"Prussian", "prg|prussian"},
    {"Punjabi", "pa|pan|panjabi|punjabi|ਪੰਜਾਬੀ"},
    {"Quechua", "qu|que|quechua|runasimi"},
    {"Rajasthani", "raj|rajasthani|राजस्थानी"},
    {"Rapanui", "rap|rapanui"},
    {"Rarotongan", "rar|rarotongan"},
    {"Riffian", "rif|riffian"},
    {"Romagnol", "rgn|romagnol"},
    {"Romanian", "moldavian|moldovan|moldovian|ro|romainian|romana|romania|romanian|româna|românä|română|ron|"
                 "roumain|rum|rumänisch|молдавский"},
    {"Romansh", "rm|roh|romansh|rumantsch"},
    {"Romany", "rom|romany"},
    {"Rombo", "kihorombo|rof|rombo"},
    {"Rotuman", "rotuman|rtm"},
    {"Roviana", "roviana|rug"},
    {"Rundi", "ikirundi|rn|run|rundi"},
    {"Russian", "rossia|ru|rus|rusia|ruso|russain|russe|russia|russian|russkiy|russo|россия|ру|русский|"
                "русский язык"},
    {"Rusyn", "carpatho-rusyn|rue|rusyn"},
    {"Rwa", "kiruwa|rwa|rwk"},
    {"Saho", "saho|ssy"},
    {"Samaritan Aramaic", "sam|samaritan aramaic"},
    {"Samburu", "kisampur|samburu|saq"},
    {"Samoan", "samoan|sm|smo"},
    {"Samogitian", "samogitian|sgs"},
    {"Sandawe", "sad|sandawe"},
    {"Sango", "sag|sango|sg|sängö"},
    {"Sangu", "ishisangu|sangu|sbp"},
    {"Sanskrit", "sa|san|sanskrit|संस्कृत भाषा"},
    {"Santali", "santali|sat|ᱥᱟᱱᱛᱟᱲᱤ"},
    {"Sardinian", "sardinian|sardu|sc|srd"},
    {"Sasak", "sas|sasak"},
    {"Sassarese Sardinian", "sassarese sardinian|sdc"},
    {"Saterland Frisian", "saterland frisian|stq"},
    {"Saurashtra", "saurashtra|saz"},
    {"Scots", "sco|scots"},
    {"Scottish Gaelic", "gaelic|gd|gla|gàidhlig|scottish gaelic"},
    {"Selayar", "selayar|sly"},
    {"Selkup", "sel|selkup"},
    {"Sena", "seh|sena"},
    {"Seneca", "see|seneca"},
    {"Serbian", "serbia|serbian|sr|srb|srp|srpski|српски"},
    {"Serer", "serer|srr"},
    {"Seri", "sei|seri"},
    {"Shambala", "kishambaa|ksb|shambala"},
    {"Shan", "shan|shn"},
    {"Shona", "chishona|shona|sn|sna"},
    {"Sichuan Yi", "ii|iii|sichuan yi|ꆈꌠꉙ"},
    {"Sicilian", "scn|sicilian"},
    {"Sidamo", "sid|sidamo"},
    {"Siksiká", "bla|siksiká"},
    {"Silesian", "silesian|szl"},
    {"Sindhi", "sd|sindhi|snd|سنڌي"},
    {"Sinhala", "si|sin|sinhala|sinhalese|සිංහල"},
    {"Skolt Sami", "skolt sami|sms"},
    {"Slave", "den|slave"},
    {"Slovak", "sk|slk|slo|slovak|slovenčina"},
    {"Slovenian", "sl|slovene|slovenia|slovenian|slovenski|slovenščina|slv"},
    {"Soga", "lusoga|olusoga|soga|xog"},
    {"Sogdien", "sog|sogdien"},
    {"Somali", "so|som|somali|soomaali"},
    {"Soninke", "snk|soninke"},
    {"Sorbian", "sorbian"},
    {"South Ndebele", "nbl|nr|south ndebele"},
    {"Southern Altai", "alt|southern altai"},
    {"Southern Kurdish", "sdh|southern kurdish"},
    {"Southern Sami", "sma|southern sami"},
    {"Southern Sotho", "sesotho|sot|southern sotho|st"},
    {"Spanish", "castelhano|castellano|castellano español|castilian|chileno|colombian|es|espagnol|espana|"
                "espanish|espanol|españa|españo|español|espańol|espaňol|hiszpański|latin american spanish|"
                "latino|mexican spanish|mexicano|spa|spagnolo|spain|spainsh|spanich|spanisch|spanish|"
                "spanish mexico|spansh|испанский"},
    {"Sranan Tongo", "sranan tongo|srn"},
    {"Standard Moroccan Tamazight", "standard moroccan tamazight|zgh|ⵜⴰⵎⴰⵣⵉⵖⵜ"},
    {"Sukuma", "suk|sukuma"},
    {"Sumerian", "sumerian|sux"},
    {"Sundanese", "basa sunda|su|sun|sundanese"},
    {"Susu", "sus|susu"},
    {"Swahili", "kiswahili|suaheli|sw|swa|swahili"},
    {"Swati", "ss|ssw|swati"},
    {"Swedish", "sv|svenska|swe|sweden|swedish"},
    {"Swiss German",
     "gsw|mundart|schweizer deutsch|schweizerdeutsch|schwiizerdütsch|schwiizertüütsch|swiss german"},
    {"Syriac", "syr|syriac"},
    {"Tachelhit", "shi|tachelhit|ⵜⴰⵛⵍⵃⵉⵜ"},
    {"Tagalog", "tagalog"},
    {"Tahitian", "tah|tahitian|ty"},
    {"Taita", "dav|kitaita|taita"},
    {"Tajik", "tajik|tg|tgk|тоҷикӣ"},
    {"Talysh", "talysh|tly"},
    {"Tamashek", "tamashek|tmh"},
    {"Tamazight", "amazigh|berber|tamazigh|tamazight"},
    {"Tamil", "ta|tam|tamil|tamizh|தமிழ்"},
    {"Taroko", "taroko|trv"},
    {"Tasawaq", "tasawaq|tasawaq senni|twq"},
    {"Tatar", "tat|tatar|tt|татар|татарский|татарча"},
    {"Telugu", "te|tel|telugu|తెలుగు"},
    {"Tereno", "ter|tereno"},
    {"Teso", "kiteso|teo|teso"},
    {"Tetum", "tet|tetum"},
    {"Thai", "th|tha|thai|thailand|ภาษาไทย|ไทย"},
    {"Tibetan", "bo|bod|tib|tibetan|བོད་སྐད་"},
    {"Tigre", "tig|tigre"},
    {"Tigrinya", "ti|tigrinya|tir|ትግርኛ"},
    {"Timne", "tem|timne"},
    {"Tiv", "tiv"},
    {"Tlingit", "tli|tlingit"},
    {"Tok Pisin", "tok pisin|tpi"},
    {"Tokelau", "tkl|tokelau"},
    {"Tongan", "lea fakatonga|to|ton|tongan"},
    {"Tornedalen Finnish", "fit|tornedalen finnish"},
    {"Tsakhur", "tkr|tsakhur"},
    {"Tsakonian", "tsakonian|tsd"},
    {"Tsimshian", "tsi|tsimshian"},
    {"Tsonga", "ts|tso|tsonga"},
    {"Tswana", "tn|tsn|tswana"},
    {"Tulu", "tcy|tulu"},
    {"Tumbuka", "tum|tumbuka"},
    {"Tunisian Arabic", "aeb|tunisian arabic"},
    {"Turkish", "tr|tur|turk|turkce|turkey|turkish|türk|türkisch|türkish|türkiye|türkçe"},
    {"Turkmen", "tk|tuk|turkmen|türkmen dili"},
    {"Turoyo", "tru|turoyo"},
    {"Tuvalu", "tuvalu|tvl"},
    {"Tuvinian", "tuvinian|tyv"},
    {"Twi", "tw|twi"},
    {"Tyap", "kcg|tyap"},
    {"Udmurt", "udm|udmurt"},
    {"Ugaritic", "uga|ugaritic"},
    {"Ukrainian", "ua|ucrânia|uk|ukr|ukrainain|ukraine|ukrainian|ukrainisch|ukranian|укр|украина|украинский|"
                  "українська"},
    {"Umbundu", "umb|umbundu"},
    {"Upper Sorbian", "hornjoserbšćina|hsb|upper sorbian"},
    {"Urdu", "ur|urd|urdu|اردو"},
    {"Uyghur", "ug|uig|uyghur|ئۇيغۇرچە"},
    {"Uzbek", "o'zbek|ozbek|o‘zbek|uz|uzb|uzbek"},
    {"Vai", "vai|ꕙꔤ"},
    {"Venda", "ve|ven|venda"},
    {"Venetian", "vec|venetian"},
    {"Veps", "vep|veps"},
    {"Vietnamese", "tiếng việt|vi|vie|vietnam|vietnamese"},
    {"Volapük", "vo|vol|volapük"},
    {"Votic", "vot|votic"},
    {"Vunjo", "kyivunjo|vun|vunjo"},
    {"Võro", "vro|võro"},
    {"Walloon", "wa|walloon|wln"},
    {"Walser", "wae|walser"},
    {"Waray", "war|waray"},
    {"Warlpiri", "warlpiri|wbp"},
    {"Washo", "was|washo"},
    {"Wayuu", "guc|wayuu"},
    {"Welsh", "cy|cym|cymraeg|wel|welsh"},
    {"West Flemish", "vls|west flemish"},
    {"Western Balochi", "bgn|western balochi"},
    {"Western Frisian", "fries|frisian|fry|frysk|fy|western frisian"},
    {"Western Mari", "mrj|western mari"},
    {"Western Panjabi", "lah|western panjabi"},
    {"Wolaytta", "wal|wolaytta"},
    {"Wolof", "wo|wol|wolof"},
    {"Wu Chinese", "wu chinese|wuu"},
    {"Xhosa", "isixhosa|xh|xho|xhosa"},
    {"Xiang Chinese", "hsn|xiang chinese"},
    {"Yakut", "sah|yakut|саха тыла"},
    {"Yangben", "nuasue|yangben|yav"},
    {"Yao", "yao"},
    {"Yapese", "yap|yapese"},
    {"Yemba", "ybb|yemba"},
    {"Yiddish", "yi|yid|yiddish|ייִדיש"},
    {"Yoruba", "yo|yor|yoruba|èdè yorùbá"},
    {"Yucatec Maya", "yucatec maya"},
    {"Zapotec", "zap|zapotec"},
    {"Zarma", "dje|zarma|zarmaciine"},
    {"Zaza", "zaza|zza"},
    {"Zeelandic", "zea|zeelandic"},
    {"Zenaga", "zen|zenaga"},
    {"Zhuang", "za|zha|zhuang"},
    {"Zoroastrian Dari", "gbz|zoroastrian dari"},
    {"Zulu", "isizulu|zu|zul|zulu"},
    {"Zuni", "zun|zuni"},
};

constexpr std::string_view kSpellingsWithoutLanguage =
    "-|1|128|80s|?|aboriginal languages|africa|arabesk|asunción|belge|creole|dai language|"
    "discography|global|indian|international|juma|music|n/a|none|novokuznetzk|online radio|"
    "other|radio|san salvador|undefined|unknown|us|various|willemstad";

} // namespace

std::span<const std::string_view> Genres() {
    return kGenres;
}

std::span<const TableEntry> TagGenres() {
    static const std::vector<TableEntry> entries = Expand(kTagGenres);
    return entries;
}

std::span<const TableEntry> GenreWords() {
    static const std::vector<TableEntry> entries = Expand(kGenreWords);
    return entries;
}

std::span<const std::string_view> TagsWithoutGenre() {
    static const std::vector<std::string_view> tags = Split(kTagsWithoutGenre);
    return tags;
}

std::span<const TableEntry> CountryNames() {
    return kCountryNames;
}

std::span<const TableEntry> LanguageNames() {
    static const std::vector<TableEntry> entries = Expand(kLanguageNames);
    return entries;
}

std::span<const std::string_view> SpellingsWithoutLanguage() {
    static const std::vector<std::string_view> spellings = Split(kSpellingsWithoutLanguage);
    return spellings;
}

} // namespace lumaro::catalogue
