#include "engine/net/playlist.h"

#include "engine/net/content_type.h"

#include <algorithm>
#include <map>

namespace lumaro::engine {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCopy(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = Lower(c);
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(s[i]) != Lower(prefix[i])) return false;
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The text without a UTF-8 byte order mark and leading blanks.
std::string_view TextStart(std::string_view s) {
    if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

// NULs or many control characters in the first bytes: audio, not a playlist.
bool LooksBinary(std::string_view head) {
    head = head.substr(0, 512);
    std::size_t control = 0;
    for (unsigned char c : head) {
        if (c == 0) return true;
        if (c < 0x20 && !IsBlank(static_cast<char>(c))) ++control;
    }
    return control * 10 > head.size();
}

// Lines split at CR LF, LF or CR.
std::vector<std::string_view> Lines(std::string_view s) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            lines.push_back(s.substr(start, i - start));
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < s.size()) lines.push_back(s.substr(start));
    return lines;
}

// The URL's path extension, lower-case, without query or fragment: ".pls".
std::string UrlExtension(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("?#"));
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return {};
    rest = rest.substr(slash);
    const std::size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos || rest.find('/', dot) != std::string_view::npos) return {};
    return LowerCopy(rest.substr(dot));
}

bool HasScheme(std::string_view s) {
    if (s.empty() || !((s[0] >= 'a' && s[0] <= 'z') || (s[0] >= 'A' && s[0] <= 'Z'))) return false;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ':') return true;
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '+' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return false;
}

bool IsM3uType(const std::string& type) {
    return type == "audio/x-mpegurl" || type == "audio/mpegurl" || type == "application/x-mpegurl" ||
           type == "application/vnd.apple.mpegurl";
}

// XML character references and the five named entities; others stay as they are.
std::string XmlText(std::string_view s) {
    s = Trim(s);
    if (StartsWithNoCase(s, "<![CDATA[")) {
        s.remove_prefix(9);
        const std::size_t end = s.find("]]>");
        return std::string(Trim(s.substr(0, end)));
    }
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out.push_back(s[i]);
            continue;
        }
        const std::size_t semi = s.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out.push_back('&');
            continue;
        }
        const std::string_view name = s.substr(i + 1, semi - i - 1);
        std::string rep;
        if (name == "amp")
            rep = "&";
        else if (name == "lt")
            rep = "<";
        else if (name == "gt")
            rep = ">";
        else if (name == "quot")
            rep = "\"";
        else if (name == "apos")
            rep = "'";
        else if (name.size() > 1 && name[0] == '#') {
            unsigned long code = 0;
            bool ok = true;
            const bool hex = name[1] == 'x' || name[1] == 'X';
            for (char c : name.substr(hex ? 2 : 1)) {
                int d = -1;
                if (c >= '0' && c <= '9')
                    d = c - '0';
                else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f')
                    d = Lower(c) - 'a' + 10;
                if (d < 0 || code > 0x10FFFF)
                    ok = false;
                else
                    code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
            }
            if (ok && code > 0 && code < 0x80)
                rep = std::string(1, static_cast<char>(code));
            else
                ok = false;
            if (!ok) rep = std::string(s.substr(i, semi - i + 1));
        } else {
            rep = std::string(s.substr(i, semi - i + 1));
        }
        out += rep;
        i = semi;
    }
    return out;
}

// The value of attribute `name` inside a tag's text (after its name), quoted
// with ' or " or bare; empty when absent.
std::string Attribute(std::string_view tag, std::string_view name) {
    const std::string lower = LowerCopy(tag);
    std::size_t pos = 0;
    while ((pos = lower.find(name, pos)) != std::string::npos) {
        const bool word_start = pos > 0 && (IsBlank(lower[pos - 1]));
        std::size_t i = pos + name.size();
        pos = i;
        if (!word_start) continue;
        while (i < tag.size() && IsBlank(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && IsBlank(tag[i]))
            ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == '"' || tag[i] == '\'') {
            const std::size_t end = tag.find(tag[i], i + 1);
            return XmlText(
                tag.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
        }
        const std::size_t end = tag.find_first_of(" \t\r\n/>", i);
        return XmlText(tag.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
    }
    return {};
}

void Add(std::vector<std::string>& out, std::string_view base, std::string_view ref) {
    ref = Trim(ref);
    if (ref.empty()) return;
    std::string url = ResolveUrl(base, ref);
    if (HasScheme(url)) out.push_back(std::move(url));
}

std::vector<std::string> ParsePls(std::string_view base, std::string_view text) {
    // FileN=url, ordered by N (some servers write them out of order); the
    // [Reference] form of Windows Media (RefN=url) reads the same way.
    std::multimap<unsigned long, std::string_view> entries;
    for (std::string_view line : Lines(text)) {
        line = Trim(line);
        std::size_t prefix = 0;
        if (StartsWithNoCase(line, "file"))
            prefix = 4;
        else if (StartsWithNoCase(line, "ref"))
            prefix = 3;
        else
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view number = Trim(line.substr(prefix, eq - prefix));
        if (number.empty() || number.size() > 9 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        entries.emplace(std::stoul(std::string(number)), line.substr(eq + 1));
    }
    std::vector<std::string> out;
    for (const auto& [n, ref] : entries)
        Add(out, base, ref);
    return out;
}

std::vector<std::string> ParseM3u(std::string_view base, std::string_view text) {
    std::vector<std::string> out;
    for (std::string_view line : Lines(TextStart(text))) {
        line = Trim(line);
        if (line.empty() || line.front() == '#') continue;
        Add(out, base, line);
    }
    return out;
}

std::vector<std::string> ParseAsx(std::string_view base, std::string_view text) {
    if (StartsWithNoCase(TextStart(text), "[reference]")) return ParsePls(base, text);
    // <ref href="..."/> in each <entry>, and <entryref href="..."/> (a nested
    // playlist); tag and attribute names in any case.
    const std::string lower = LowerCopy(text);
    std::vector<std::pair<std::size_t, std::string>> found;
    for (std::string_view tag : {std::string_view("<ref"), std::string_view("<entryref")}) {
        std::size_t pos = 0;
        while ((pos = lower.find(tag, pos)) != std::string::npos) {
            const std::size_t start = pos;
            const std::size_t after = pos + tag.size();
            pos = after;
            if (after < lower.size() && !IsBlank(lower[after]) && lower[after] != '>' && lower[after] != '/')
                continue;
            const std::size_t end = lower.find('>', after);
            std::string href = Attribute(
                text.substr(after, end == std::string::npos ? std::string_view::npos : end - after), "href");
            found.emplace_back(start, std::move(href));
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (const auto& [pos, href] : found)
        Add(out, base, href);
    return out;
}

std::vector<std::string> ParseXspf(std::string_view base, std::string_view text) {
    // <location>url</location> of each <track>, in document order.
    const std::string lower = LowerCopy(text);
    std::vector<std::string> out;
    std::size_t pos = 0;
    while ((pos = lower.find("<location", pos)) != std::string::npos) {
        const std::size_t open_end = lower.find('>', pos);
        if (open_end == std::string::npos) break;
        const std::size_t close = lower.find("</location", open_end);
        if (close == std::string::npos) break;
        Add(out, base, XmlText(text.substr(open_end + 1, close - open_end - 1)));
        pos = close;
    }
    return out;
}

} // namespace

PlaylistKind DetectPlaylist(std::string_view content_type, std::string_view url, std::string_view head) {
    const std::string type = MediaType(content_type);
    const std::string ext = UrlExtension(url);
    if (LooksBinary(head)) return PlaylistKind::kNone;
    const std::string_view text = TextStart(head);

    // What the body says first: servers often send playlists as text/plain.
    if (IsHlsReply(content_type, url, head)) return PlaylistKind::kHls;
    if (StartsWithNoCase(text, "[playlist]")) return PlaylistKind::kPls;
    if (StartsWithNoCase(text, "[reference]")) return PlaylistKind::kAsx;
    if (StartsWithNoCase(text, "#EXTM3U")) return PlaylistKind::kM3u;
    if (!text.empty() && text.front() == '<') {
        const std::string lower = LowerCopy(text.substr(0, 4096));
        if (lower.find("<asx") != std::string::npos) return PlaylistKind::kAsx;
        if (lower.find("<playlist") != std::string::npos) return PlaylistKind::kXspf;
    }

    // Then the type and the URL's extension.
    if (type == "audio/x-scpls" || type == "audio/scpls" || type == "application/pls+xml" || ext == ".pls")
        return PlaylistKind::kPls;
    if (IsM3uType(type) || ext == ".m3u" || ext == ".m3u8") return PlaylistKind::kM3u;
    if (type == "video/x-ms-asx" || type == "video/x-ms-wax" || type == "audio/x-ms-wax" ||
        type == "video/x-ms-wvx" || type == "application/x-ms-asx" || ext == ".asx" || ext == ".wax" ||
        ext == ".wvx")
        return PlaylistKind::kAsx;
    if (type == "application/xspf+xml" || ext == ".xspf") return PlaylistKind::kXspf;

    // A plain text body whose first line is a URL is a bare m3u.
    if (ClassifyContentType(content_type) == ContentKind::kUnknown) {
        for (std::string_view line : Lines(text)) {
            line = Trim(line);
            if (line.empty() || line.front() == '#') continue;
            return line.find("://") != std::string_view::npos && line.find(' ') == std::string_view::npos
                       ? PlaylistKind::kM3u
                       : PlaylistKind::kNone;
        }
    }
    return PlaylistKind::kNone;
}

std::vector<std::string> ParsePlaylistAs(PlaylistKind kind, std::string_view url, std::string_view bytes) {
    switch (kind) {
    case PlaylistKind::kPls:
        return ParsePls(url, bytes);
    case PlaylistKind::kM3u:
        return ParseM3u(url, bytes);
    case PlaylistKind::kAsx:
        return ParseAsx(url, bytes);
    case PlaylistKind::kXspf:
        return ParseXspf(url, bytes);
    case PlaylistKind::kHls:
    case PlaylistKind::kNone:
        break;
    }
    return {};
}

std::vector<std::string> ParsePlaylist(std::string_view content_type, std::string_view url,
                                       std::string_view bytes) {
    return ParsePlaylistAs(DetectPlaylist(content_type, url, bytes), url, bytes);
}

bool LooksLikeHlsUrl(std::string_view url) {
    return UrlExtension(url) == ".m3u8";
}

bool IsHlsReply(std::string_view content_type, std::string_view url, std::string_view head) {
    if (!IsM3uType(MediaType(content_type)) && !LooksLikeHlsUrl(url) && UrlExtension(url) != ".m3u")
        return false;
    const std::string_view text = TextStart(head);
    return StartsWithNoCase(text, "#EXTM3U") && text.find("#EXT-X-") != std::string_view::npos;
}

std::string ResolveUrl(std::string_view base, std::string_view ref) {
    ref = Trim(ref);
    if (ref.empty()) return {};
    if (HasScheme(ref)) return std::string(ref);
    const std::size_t colon = base.find(':');
    if (colon == std::string_view::npos || !HasScheme(base)) return std::string(ref);
    const std::string_view scheme = base.substr(0, colon + 1); // "http:"
    if (ref.substr(0, 2) == "//") return std::string(scheme) + std::string(ref);

    // base = scheme "//" authority path [?query] [#fragment]
    std::string_view rest = base.substr(colon + 1);
    std::string_view authority;
    if (rest.substr(0, 2) == "//") {
        const std::size_t end = rest.find_first_of("/?#", 2);
        authority = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    const std::string_view no_fragment = rest.substr(0, rest.find('#'));
    const std::string_view path = no_fragment.substr(0, no_fragment.find('?'));
    const std::string prefix = std::string(scheme) + std::string(authority);
    if (ref.front() == '#') return prefix + std::string(no_fragment) + std::string(ref);
    if (ref.front() == '?') return prefix + std::string(path) + std::string(ref);

    std::string merged;
    if (ref.front() == '/') {
        merged = std::string(ref);
    } else {
        const std::size_t slash = path.rfind('/');
        merged = (slash == std::string_view::npos ? std::string(authority.empty() ? "" : "/")
                                                  : std::string(path.substr(0, slash + 1))) +
                 std::string(ref);
    }
    // Remove "." and ".." segments of the path (not of the query).
    const std::size_t query = merged.find_first_of("?#");
    const std::string tail = query == std::string::npos ? std::string() : merged.substr(query);
    const std::string_view p = std::string_view(merged).substr(0, query);
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    bool trailing_slash = false;
    while (start <= p.size()) {
        const std::size_t end = std::min(p.find('/', start), p.size());
        const std::string_view seg = p.substr(start, end - start);
        trailing_slash = false;
        if (seg == "..") {
            if (segments.size() > 1) segments.pop_back();
            trailing_slash = true;
        } else if (seg == ".") {
            trailing_slash = true;
        } else {
            segments.push_back(seg);
        }
        start = end + 1;
    }
    std::string out;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i > 0) out.push_back('/');
        out += segments[i];
    }
    if (trailing_slash) out.push_back('/');
    return prefix + out + tail;
}

} // namespace lumaro::engine
