#include "shell/unit1.h"

#include "data/scrambled_list_file.h"
#include "playback/personal_list_actions.h"
#include "playback/status_display.h"
#include "shell/startup.h"
#include "shell/unit4.h"
#include "ui/gauge_bar.h"
#include "ui/level_meter.h"
#include "ui/skin_accessible.h"
#include "ui/skin_background.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_icon_button.h"
#include "ui/skin_knob.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"
#include "ui/skin_switch.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <chrono>
#include <cstdlib>

namespace lumaro {

namespace {

// Height the category lists are designed with; they are trimmed to whole rows
// when built.
constexpr int kListDesignHeight = 250;

const SkinGridColors kCategoryColors{QColor(104, 116, 134), QColor(248, 149, 60), QColor(248, 149, 60),
                                     QColor(65, 73, 85)};
const SkinGridColors kResultColors{QColor(71, 77, 90), QColor(98, 104, 117), QColor(248, 149, 60),
                                   QColor(59, 67, 83)};
const QColor kViewLabelInitial(13, 13, 13);
const QColor kViewLabelInactive(20, 20, 20);
const QColor kViewLabelActive(255, 255, 255);
const QColor kRailCaption(20, 20, 20);

const char* kMenuStyle = "QMenu { background: #2B2F38; color: #EEF0F3; border: 1px solid #0B0C0F;"
                         " padding: 3px 0; font-family: Arial; font-size: 11px; }"
                         "QMenu::item { padding: 4px 22px 4px 14px; }"
                         "QMenu::item:selected { background: #F8953C; color: #141414; }"
                         "QMenu::separator { height: 1px; background: #474D5A; margin: 3px 6px; }";

// How long closing waits for connection workers still inside the engine.
constexpr std::chrono::milliseconds kWorkerGrace{2000};

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString FromAnsi(const std::string& text) {
    return QString::fromStdU16String(WideFromAnsi(text));
}

// The key table's sound keys as Windows virtual-key codes; 0 for any other key.
int SoundKeyCode(const QKeyEvent& key) {
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_F5:
        return kKeyF5;
    case Qt::Key_F11:
        return kKeyF11;
    case Qt::Key_F12:
        return kKeyF12;
    case Qt::Key_Plus:
        return keypad ? kKeyNumPadPlus : 0;
    case Qt::Key_Minus:
        return keypad ? kKeyNumPadMinus : 0;
    default:
        return 0;
    }
}

} // namespace

TForm1::TForm1(const QString& programDir, const QString& firstArgument, QWidget* parent,
               std::unique_ptr<engine::AudioLibrary> engine)
    : QWidget(parent), programDir_(programDir), firstArgument_(firstArgument),
      engine_(engine ? std::move(engine) : engine::MakeAudioEngine()) {
    controller_ = std::make_unique<TPlaybackController>(*engine_, *this, Recent);
    chain_ = std::make_unique<TEffectChain>(*engine_, controller_->State(), this);
    recorder_ = std::make_unique<TRecorder>(*engine_, controller_->State(), *this, programDir_.toStdString());
    InstallSkinAccessibility();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    CreateControls();
    ConnectControls();
    FormCreate();
}

TForm1::~TForm1() {
    FormClose();
}

void TForm1::CreateControls() {
    using skin::Font;
    DIBImage1 = Named(new SkinBackground(SkinBackground::Layout::MainWindow, this), "DIBImage1");
    DIBImage1->setGeometry(0, 0, 982, 480);
    DIBImage1->setAccessibleName(QStringLiteral("Lumaro Radio"));

    auto label = [this](const char* name, const QString& text, QRect geometry, int px = 11,
                        bool bold = false) {
        auto* l = Named(new SkinLabel(text, this, px, bold), name);
        l->setGeometry(geometry);
        return l;
    };

    // window buttons
    suiImageButton6 = Named(new SkinSwitch(false, this, SkinSwitch::Glyph::Minimize), "suiImageButton6");
    suiImageButton6->setGeometry(827, 13, 25, 12);
    suiImageButton6->setAccessibleName(QStringLiteral("Minimize"));
    suiImageButton5 = Named(new SkinSwitch(false, this, SkinSwitch::Glyph::Close), "suiImageButton5");
    suiImageButton5->setGeometry(901, 13, 25, 12);
    suiImageButton5->setAccessibleName(QStringLiteral("Close"));
    for (auto [name, text, x] :
         {std::tuple{"MinimizeCaption", "Minimize", 857}, {"CloseCaption", "Close", 931}}) {
        auto* l = label(name, QString::fromLatin1(text), QRect(x, 12, 48, 14), 11);
        l->SetTextColor(QColor(176, 182, 194));
    }

    // display
    TntLabel2 = label("TntLabel2", QString(), QRect(35, 42, 252, 31), 15, true);
    TntLabel2->SetTextColor(skin::kLcdText);
    TntLabel2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TntLabel2->setAccessibleDescription(QStringLiteral("Stream title"));
    TntLabel3 = label("TntLabel3", QString(), QRect(34, 73, 253, 28), 12);
    TntLabel3->SetTextColor(QColor(196, 204, 214));
    TntLabel3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TntLabel3->setAccessibleDescription(QStringLiteral("Status"));
    Label5 = label("Label5", QString(), QRect(34, 101, 198, 11), 9);
    Label5->SetTextColor(QColor(140, 154, 172));
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label5->setAccessibleDescription(QStringLiteral("Bit rate"));
    Label23 = label("Label23", QStringLiteral("recording"), QRect(238, 101, 48, 11), 9, true);
    Label23->SetTextColor(skin::kRecording.lighter(115));
    Label23->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label23->hide();

    DIBKnob1 = Named(new LevelMeter(this), "DIBKnob1");
    DIBKnob1->setGeometry(22, 146, 106, 102);
    DIBKnob1->setAccessibleName(QStringLiteral("Level"));
    DIBKnob5 = Named(new SkinKnob(0, 100, 50, this), "DIBKnob5");
    DIBKnob5->setGeometry(22, 350, 106, 102);
    DIBKnob5->setAccessibleName(QStringLiteral("Volume"));
    DIBKnob5->setToolTip(QStringLiteral("Change volume ( F11,F12 or plus,minus keys on NumPad )"));
    Label10 = label("Label10", QStringLiteral("Volume"), QRect(22, 452, 106, 14), 11, true);
    Label10->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label10->SetTextColor(QColor(206, 210, 218));

    // switches
    auto makeSwitch = [this](const char* name, bool toggle, int x, int y, const char* caption,
                             const char* captionName, int captionX) {
        auto* s = Named(new SkinSwitch(toggle, this), name);
        s->setGeometry(x, y, 25, 12);
        s->setAccessibleName(QString::fromLatin1(caption));
        auto* l = Named(new SkinLabel(QString::fromLatin1(caption), this, 11), captionName);
        l->setGeometry(captionX, y - 1, 70, 14);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->SetTextColor(QColor(214, 218, 226));
        return std::pair{s, l};
    };
    suiImageButton8 = makeSwitch("suiImageButton8", true, 299, 41, "Play/Stop", "PlayStopCaption", 330).first;
    suiImageButton8->setToolTip(QStringLiteral("F9 or * on NumPad"));
    auto url = makeSwitch("suiImageButton3", false, 299, 58, "URL", "Label13", 330);
    suiImageButton3 = url.first;
    Label13 = url.second;
    suiImageButton4 =
        makeSwitch("suiImageButton4", false, 299, 75, "Add to Fav.", "AddToFavCaption", 330).first;
    suiImageButton9 = makeSwitch("suiImageButton9", true, 299, 99, "Rec", "RecCaption", 330).first;
    auto mute = makeSwitch("suiImageButton7", true, 402, 58, "Mute", "Label18", 432);
    suiImageButton7 = mute.first;
    suiImageButton7->setToolTip(QStringLiteral("Mute/Unmute ( F5 )"));
    Label18 = mute.second;
    auto mono = makeSwitch("suiImageButton2", true, 402, 82, "Mono", "Label12", 432);
    suiImageButton2 = mono.first;
    Label12 = mono.second;

    // knobs, each with its caption to the left
    auto knob = [this](const char* name, int min, int max, int value, int x, const char* caption,
                       const char* captionName, SkinLabel** captionOut) {
        auto* k = Named(new SkinKnob(min, max, value, this), name);
        k->setGeometry(x, 55, 41, 41);
        k->setAccessibleName(QString::fromLatin1(caption));
        auto* l = Named(new SkinLabel(QString::fromLatin1(caption), this, 10), captionName);
        l->setGeometry(x - 61, 68, 58, 14);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->SetTextColor(QColor(214, 218, 226));
        *captionOut = l;
        return k;
    };
    DIBKnob7 = knob("DIBKnob7", -100, 100, 0, 514, "Pan", "Label9", &Label9);
    DIBKnob6 = knob("DIBKnob6", -150, 0, -150, 637, "Reverb", "Label16", &Label16);
    DIBKnob2 = knob("DIBKnob2", -20, 20, 0, 747, "Bass", "Label2", &Label2);
    DIBKnob3 = knob("DIBKnob3", -20, 20, 0, 822, "Middle", "Label6", &Label6);
    DIBKnob4 = knob("DIBKnob4", -20, 20, 0, 894, "Treble", "Label7", &Label7);

    // the caption rail
    auto railCaption = [&](const char* name, const char* text, int x, int width) {
        auto* l = label(name, QString::fromLatin1(text), QRect(x, 145, width, 15), 11);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        l->SetTextColor(kRailCaption);
        l->SetShadow(false);
        l->SetClickable(true);
        return l;
    };
    Label19 = railCaption("Label19", "Settings", 698, 45);
    Label22 = railCaption("Label22", "Recordings", 748, 59);
    Label1 = railCaption("Label1", "Favorites", 815, 52);
    Label17 = railCaption("Label17", "Recent", 875, 40);
    Label20 = railCaption("Label20", "About", 921, 36);
    Label1->SetTextColor(kViewLabelInitial);
    Label17->SetTextColor(kViewLabelInitial);

    auto* browserCaption =
        label("StationBrowserCaption", QStringLiteral("Station browser"), QRect(464, 125, 140, 13), 10, true);
    browserCaption->SetTextColor(QColor(150, 158, 172));
    TntLabel1 = label("TntLabel1", QString(), QRect(180, 142, 504, 23), 11, true);
    TntLabel1->SetTextColor(QColor(108, 108, 108));
    TntLabel1->SetShadow(false);
    TntLabel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    TntLabel1->SetClickable(true);
    TntLabel1->SetAccessibleAsText(true);
    TntLabel1->setCursor(Qt::PointingHandCursor);
    TntLabel1->setAccessibleDescription(QStringLiteral("Selected station; click for station information"));

    // the browser: three category columns and the results
    const int columns[3] = {165, 337, 510};
    const char* boxNames[3] = {"FlatEdit1", "FlatEdit2", "FlatEdit3"};
    const char* iconNames[3] = {"Image2", "Image3", "Image5"};
    const char* gridNames[3] = {"suiStringGrid1", "suiStringGrid2", "suiStringGrid3"};
    const char* barNames[3] = {"GaugeBar1", "GaugeBar2", "GaugeBar3"};
    const char* kinds[3] = {"Style", "Country", "Language"};
    const char* plural[3] = {"Styles", "Countries", "Languages"};
    SkinEdit** boxes[3] = {&FlatEdit1, &FlatEdit2, &FlatEdit3};
    SkinIconButton** icons[3] = {&Image2, &Image3, &Image5};
    SkinGrid** grids[3] = {&suiStringGrid1, &suiStringGrid2, &suiStringGrid3};
    GaugeBar** bars[3] = {&GaugeBar1, &GaugeBar2, &GaugeBar3};
    for (int i = 0; i < 3; ++i) {
        const int x = columns[i];
        *grids[i] = Named(new SkinGrid(kCategoryColors, this), gridNames[i]);
        (*grids[i])->setGeometry(x, 205, 151, kListDesignHeight);
        (*grids[i])->setAccessibleName(QString::fromLatin1(plural[i]));
        *boxes[i] = Named(new SkinEdit(this), boxNames[i]);
        (*boxes[i])->setGeometry(x, 186, 128, 20);
        (*boxes[i])->setAccessibleName(QStringLiteral("%1 filter").arg(QString::fromLatin1(kinds[i])));
        (*boxes[i])->setPlaceholderText(QStringLiteral("Filter"));
        *icons[i] = Named(new SkinIconButton(this), iconNames[i]);
        (*icons[i])->setGeometry(x + 127, 186, 23, 20);
        (*icons[i])->setAccessibleName(
            QStringLiteral("Clear %1 filter").arg(QString::fromLatin1(kinds[i]).toLower()));
        *bars[i] = Named(new GaugeBar(this), barNames[i]);
        (*bars[i])->setGeometry(x + 150, 186, 10, kListDesignHeight + 19);
        (*bars[i])->setAccessibleName(QStringLiteral("%1 scroll bar").arg(QString::fromLatin1(plural[i])));
    }
    TntEdit2 = Named(new SkinEdit(this), "TntEdit2");
    TntEdit2->setGeometry(723, 188, 193, 18);
    TntEdit2->setAccessibleName(QStringLiteral("Search stations"));
    TntEdit2->setPlaceholderText(QStringLiteral("Search"));
    Image6 = Named(new SkinIconButton(this), "Image6");
    Image6->setGeometry(917, 187, 23, 20);
    Image6->setAccessibleName(QStringLiteral("Clear search"));
    Label24 = label("Label24", QStringLiteral("showing 15000 stations"), QRect(837, 171, 111, 13), 11);
    Label24->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label24->SetTextColor(QColor(202, 202, 202));
    Label24->setAccessibleDescription(QStringLiteral("Station count"));
    suiStringGrid4 = Named(new SkinGrid(kResultColors, this), "suiStringGrid4");
    suiStringGrid4->setGeometry(721, 206, 220, kListDesignHeight);
    suiStringGrid4->setAccessibleName(QStringLiteral("Stations"));
    GaugeBar4 = Named(new GaugeBar(this), "GaugeBar4");
    GaugeBar4->setGeometry(940, 187, 10, kListDesignHeight + 19);
    GaugeBar4->setAccessibleName(QStringLiteral("Stations scroll bar"));
    // the grid's bar sits over the grid's last column of pixels
    GaugeBar4->raise();

    // the URL menu, filled by ShowUrlMenu
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");

    // context menus of the three views
    PopupMenu2 = Named(new QMenu(this), "PopupMenu2");
    PopupMenu2->addAction(QStringLiteral("Remove from Favorites"), this, &TForm1::DeletefromFavorites1Click);
    PopupMenu2->addAction(QStringLiteral("Empty Favorites list"), this, &TForm1::EmptyFavoriteslist1Click);
    PopupMenu2->addAction(QStringLiteral("Station info"), this, &TForm1::Stationinfo1Click);
    PopupMenu2->addAction(QStringLiteral("Open in new window"), this, &TForm1::Openinnewwindow2Click);
    PopupMenu3 = Named(new QMenu(this), "PopupMenu3");
    PopupMenu3->addAction(QStringLiteral("Remove from Recent"), this, &TForm1::Removefromlist1Click);
    PopupMenu3->addAction(QStringLiteral("Empty Recent list"), this, &TForm1::EmptyRecentlist1Click);
    PopupMenu3->addAction(QStringLiteral("Station info"), this, &TForm1::Stationinfo2Click);
    PopupMenu3->addAction(QStringLiteral("Open in new window"), this, &TForm1::Openinnewwindow1Click);
    PopupMenu4 = Named(new QMenu(this), "PopupMenu4");
    PopupMenu4->addAction(QStringLiteral("Add to Favorites"), this, &TForm1::AddtoFavorites1Click);
    PopupMenu4->addAction(QStringLiteral("Station info"), this, &TForm1::Addtofavorites2Click);
    PopupMenu4->addAction(QStringLiteral("Open in new window"), this, &TForm1::Newwindow1Click);
    for (QMenu* menu : {PopupMenu1, PopupMenu2, PopupMenu3, PopupMenu4})
        menu->setStyleSheet(QString::fromLatin1(kMenuStyle));

    // keyboard order: search first, then the results, then the categories
    setTabOrder(TntEdit2, suiStringGrid4);
    setTabOrder(suiStringGrid4, FlatEdit1);
    setTabOrder(FlatEdit1, suiStringGrid1);
    setTabOrder(suiStringGrid1, FlatEdit2);
    setTabOrder(FlatEdit2, suiStringGrid2);
    setTabOrder(suiStringGrid2, FlatEdit3);
    setTabOrder(FlatEdit3, suiStringGrid3);
    TntEdit2->setFocus();

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(70);
    Timer2 = Named(new QTimer(this), "Timer2");
    Timer2->setInterval(60);
}

void TForm1::ConnectControls() {
    connect(DIBImage1, &SkinBackground::pressed, this, [this] { DIBImage1MouseDown(); });
    connect(suiImageButton5, &SkinSwitch::clicked, this, &TForm1::suiImageButton5Click);
    connect(suiImageButton6, &SkinSwitch::clicked, this, &TForm1::suiImageButton6Click);
    connect(suiImageButton8, &SkinSwitch::clicked, this, &TForm1::suiImageButton8Click);
    suiImageButton3->installEventFilter(this); // mouse-up of any button
    connect(suiImageButton4, &SkinSwitch::clicked, this, &TForm1::suiImageButton4Click);
    connect(suiImageButton9, &SkinSwitch::clicked, this, &TForm1::suiImageButton9Click);
    connect(suiImageButton7, &SkinSwitch::clicked, this, &TForm1::suiImageButton7Click);
    connect(suiImageButton2, &SkinSwitch::clicked, this, &TForm1::suiImageButton2Click);
    connect(Label19, &SkinLabel::clicked, this, &TForm1::Label19Click);
    connect(Label20, &SkinLabel::clicked, this, &TForm1::Label20Click);
    connect(Label22, &SkinLabel::clicked, this, &TForm1::Label22Click);
    connect(Label1, &SkinLabel::pressed, this, [this] { Label1MouseDown(); });
    connect(Label17, &SkinLabel::pressed, this, [this] { Label17MouseDown(); });
    connect(TntLabel1, &SkinLabel::clicked, this, &TForm1::TntLabel1Click);
    TntLabel1->installEventFilter(this); // pointer enter and leave

    // knobs and their captions: the chain decides whether anything changes
    auto onKnob = [this](SkinKnob* knob, void (TEffectChain::*change)(int)) {
        connect(knob, &SkinKnob::valueChanged, this, [this, change](int position) {
            if (chain_) (chain_.get()->*change)(position);
        });
    };
    onKnob(DIBKnob2, &TEffectChain::DIBKnob2Change);
    onKnob(DIBKnob3, &TEffectChain::DIBKnob3Change);
    onKnob(DIBKnob4, &TEffectChain::DIBKnob4Change);
    onKnob(DIBKnob5, &TEffectChain::DIBKnob5Change);
    onKnob(DIBKnob6, &TEffectChain::DIBKnob6Change);
    onKnob(DIBKnob7, &TEffectChain::DIBKnob7Change);
    auto onCaption = [this](SkinLabel* caption, void (TEffectChain::*click)()) {
        caption->SetClickable(true);
        connect(caption, &SkinLabel::clicked, this, [this, click] {
            if (chain_) (chain_.get()->*click)();
        });
    };
    onCaption(Label2, &TEffectChain::Label2Click);
    onCaption(Label6, &TEffectChain::Label6Click);
    onCaption(Label7, &TEffectChain::Label7Click);
    onCaption(Label16, &TEffectChain::Label16Click);
    onCaption(Label9, &TEffectChain::Label9Click);

    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    // The window sees every key before the focused control does.
    qApp->installEventFilter(this);

    for (auto kind : {TCategoryKind::Style, TCategoryKind::Country, TCategoryKind::Language}) {
        SkinEdit* box = CategoryBox(kind);
        SkinGrid* grid = CategoryGrid(kind);
        GaugeBar* bar = CategoryBar(kind);
        box->SetKeyTarget(grid);
        connect(box, &QLineEdit::textChanged, this,
                [this, kind](const QString& text) { NarrowCategoryList(kind, text); });
        connect(grid, &SkinGrid::activated, this, &TForm1::suiStringGrid1DblClick);
        connect(bar, &GaugeBar::changed, this, [this, bar] { GaugeBar1Change(bar); });
        connect(grid, &SkinGrid::topRowChanged, bar, [bar](int top) { bar->SetPosition(top, false); });
    }
    connect(Image2, &SkinIconButton::clicked, this, &TForm1::Image2Click);
    connect(Image3, &SkinIconButton::clicked, this, &TForm1::Image3Click);
    connect(Image5, &SkinIconButton::clicked, this, &TForm1::Image5Click);
    connect(Image6, &SkinIconButton::clicked, this, &TForm1::Image6Click);

    TntEdit2->SetKeyTarget(suiStringGrid4);
    connect(TntEdit2, &QLineEdit::textChanged, this, &TForm1::TntEdit2Change);
    connect(suiStringGrid4, &SkinGrid::currentRowChanged, this, &TForm1::suiStringGrid4Click);
    connect(suiStringGrid4, &SkinGrid::activated, this, &TForm1::suiStringGrid4DblClick);
    connect(suiStringGrid4, &SkinGrid::mousePressed, this, &TForm1::suiStringGrid4MouseDown);
    connect(suiStringGrid4, &SkinGrid::mouseReleased, this, &TForm1::suiStringGrid4MouseUp);
    connect(GaugeBar4, &GaugeBar::changed, this, [this] { GaugeBar1Change(GaugeBar4); });
    connect(suiStringGrid4, &SkinGrid::topRowChanged, GaugeBar4,
            [this](int top) { GaugeBar4->SetPosition(top, false); });
}

void TForm1::FormCreate() {
    RecordingsFolderPath = QDir(programDir_).filePath("LumaroRadioRecordings").toStdString();
    // a failure leaves recording to fail later
    QDir().mkpath(QString::fromStdString(RecordingsFolderPath));

    for (SkinLabel* label : {TntLabel1, TntLabel2, TntLabel3, Label5})
        label->clear();

    setFixedSize(982, 480);

    QDir::setCurrent(programDir_);

    // A list file that exists but cannot be read leaves that list empty.
    for (TPersonalList* list :
         {static_cast<TPersonalList*>(&Favorites), static_cast<TPersonalList*>(&Recent)}) {
        try {
            list->LoadIfPresent();
        } catch (const ListFileError&) {
        }
    }

    Catalogue.LoadCatalogue("stations.dat");
    Catalogue.BuildAnsiCopy();
    Catalogue.PrepareSearchCopy("utf8stations.dat");
    filter_ = TResultFilter(Catalogue);

    ResultList.resize(Catalogue.Count());
    for (size_t i = 0; i < ResultList.size(); ++i)
        ResultList[i] = static_cast<int>(i);

    RefreshResultsView();
    InitAudioEngine();
    BuildCategoryLists();
    BuildUrlMenu();
    Timer1->start();
}

void TForm1::InitAudioEngine() {
    const TEngineStartResult result = controller_->InitAudioEngine(this);
    if (!result.EndProgram()) return;
    const QString text =
        QString::fromStdString(result.Message).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (result.Result == TEngineStartResult::Outcome::WrongVersion) {
        QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
        box.exec();
    } else {
        QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, this);
        box.exec();
    }
    // Nothing is playing and nothing is saved on the way out.
    std::_Exit(EXIT_FAILURE);
}

void TForm1::FormClose() {
    if (!controller_) return;
    Timer1->stop();
    Timer2->stop();
    engine_->BASS_Free(); // ends every stream, and a recording with it
    recorder_.reset();
    chain_.reset();
    // Workers and engine callbacks may be blocked in a call into this thread;
    // ending the controller discards those calls and lets them go, so the
    // wait below never waits on itself.
    controller_.reset();
    if (WaitForConnectionWorkers(kWorkerGrace)) {
        engine_.reset();
    } else {
        // A worker is still inside the engine (a connect may take up to 30 s).
        // The process is ending: the engine stays for it rather than vanish
        // under it.
        (void)engine_.release();
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (recorder_ && !recorder_->FormCloseQuery()) {
        event->ignore(); // No: the window and the recording go on
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

void TForm1::BuildUrlMenu() {
    if (controller_) controller_->BuildUrlMenu();
}
void TForm1::StartConnectionWorker() {
    if (controller_) controller_->StartConnectionWorker();
}
void TForm1::suiImageButton8Click() {
    if (controller_) controller_->suiImageButton8Click();
}

// ---- playback display ----

void TForm1::Timer1Timer() {
    if (controller_) controller_->Timer1Timer();
}

void TForm1::TntLabel1MouseEnter() {
    // measured as the 8-bit text the line would show
    const QString shown = FromAnsi(AnsiFromWide(TntLabel1->text().toStdU16String()));
    if (QFontMetrics(TntLabel1->font()).horizontalAdvance(shown) > TntLabel1->width()) Timer2->start();
}

void TForm1::TntLabel1MouseLeave() {
    Timer2->stop();
}

void TForm1::Timer2Timer() {
    TntLabel1->setText(QString::fromStdU16String(RotateInformationText(TntLabel1->text().toStdU16String())));
}

void TForm1::SetStatusText(const std::u16string& text) {
    TntLabel3->setText(QString::fromStdU16String(text));
}
void TForm1::SetTitleText(const std::u16string& text) {
    TntLabel2->setText(QString::fromStdU16String(text));
}
void TForm1::SetBitrateText(const std::u16string& text) {
    Label5->setText(QString::fromStdU16String(text));
}
void TForm1::SetPlayPicture(bool active) {
    suiImageButton8->SetState(active ? SkinSwitch::State::On : SkinSwitch::State::Idle);
}
void TForm1::SetLevelMeter(int position) {
    DIBKnob1->SetValue(position);
}

std::u16string TForm1::TitleText() const {
    return TntLabel2->text().toStdU16String();
}
std::u16string TForm1::StatusText() const {
    return TntLabel3->text().toStdU16String();
}

void TForm1::ShowUrlMenu(const TUrlMenu& menu) {
    // Called from an entry's own click as well: the old entries go later.
    for (QAction* action : PopupMenu1->actions()) {
        PopupMenu1->removeAction(action);
        action->deleteLater();
    }
    for (size_t i = 0; i < menu.Entries.size(); ++i) {
        const TUrlMenuEntry& entry = menu.Entries[i];
        if (entry.Caption == kUrlMenuSeparator) {
            PopupMenu1->addSeparator();
            continue;
        }
        QAction* action = PopupMenu1->addAction(FromAnsi(entry.Caption));
        if (i < menu.UrlEntryCount()) {
            action->setCheckable(true);
            action->setChecked(entry.Marked);
        }
        connect(action, &QAction::triggered, this, [this, i] {
            if (controller_) controller_->UrlMenuItemClick(i);
        });
    }
    Label13->setText(FromAnsi(menu.Label));
}

void TForm1::PopupUrlMenu() {
    PopupMenu1->popup(QCursor::pos());
}

void TForm1::suiImageButton3MouseUp() {
    if (controller_) controller_->suiImageButton3MouseUp();
}

std::u16string TForm1::ClipboardText() const {
    return QGuiApplication::clipboard()->text().toStdU16String();
}
void TForm1::SetClipboardText(const std::u16string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
}

void TForm1::ShowMessage(const std::u16string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                    QString::fromStdU16String(text), QMessageBox::Ok, this);
    box.exec();
}

bool TForm1::AskStopRecording() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Recording..."),
                    QStringLiteral("Recording in progress. Stop it now?"), QMessageBox::Yes | QMessageBox::No,
                    this);
    return box.exec() == QMessageBox::Yes;
}

// ---- sound and recording ----

void TForm1::ApplyEffectChain(engine::HSTREAM stream) {
    if (chain_) chain_->ApplyEffectChain(stream);
}

void TForm1::ShowKnobPosition(TEffectKnob knob, int position) {
    SkinKnob* widget = knob == TEffectKnob::Bass     ? DIBKnob2
                       : knob == TEffectKnob::Middle ? DIBKnob3
                       : knob == TEffectKnob::Treble ? DIBKnob4
                       : knob == TEffectKnob::Reverb ? DIBKnob6
                       : knob == TEffectKnob::Volume ? DIBKnob5
                                                     : DIBKnob7;
    widget->SetValue(position); // its echo changes nothing in the chain
}
void TForm1::ShowMonoSwitch(bool on) {
    suiImageButton2->SetState(on ? SkinSwitch::State::On : SkinSwitch::State::Idle);
}
void TForm1::ShowMuteSwitch(bool on) {
    suiImageButton7->SetState(on ? SkinSwitch::State::On : SkinSwitch::State::Idle);
}
void TForm1::suiImageButton2Click() {
    if (chain_) chain_->suiImageButton2Click();
}
void TForm1::suiImageButton7Click() {
    if (chain_) chain_->suiImageButton7Click();
}
void TForm1::FormKeyDown(int virtualKey) {
    if (chain_) chain_->FormKeyDown(virtualKey);
}

bool TForm1::RecordingRuns() const {
    return recorder_ && recorder_->RecordingRuns();
}
void TForm1::StopRecording() {
    if (recorder_) recorder_->StopRecording();
}
void TForm1::ToggleRecordingLabel() {
    if (recorder_) recorder_->ToggleRecordingLabel();
}
void TForm1::SetRecPicture(bool recording) {
    suiImageButton9->SetState(recording ? SkinSwitch::State::Recording : SkinSwitch::State::Idle);
}
void TForm1::SetRecordingLabelVisible(bool visible) {
    Label23->setVisible(visible);
}
void TForm1::OpenFolder(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
void TForm1::suiImageButton9Click() {
    if (recorder_) recorder_->suiImageButton9Click();
}
void TForm1::Label22Click() {
    if (recorder_) recorder_->Label22Click();
}

// ---- Favorites and Recent ----

void TForm1::suiImageButton4Click() {
    if (controller_) AddToFavorites(Favorites, controller_->State().StationLine, *this);
}

void TForm1::AddtoFavorites1Click() {
    if (const std::u16string* line =
            Source().Line(TBrowseView::Catalogue, size_t(suiStringGrid4->CurrentRow())))
        AddToFavorites(Favorites, *line, *this);
}

void TForm1::DeletefromFavorites1Click() {
    RemoveSelectedEntry(Favorites, suiStringGrid4->CurrentRow(), *this);
}
void TForm1::EmptyFavoriteslist1Click() {
    EmptyPersonalList(Favorites, *this);
}
void TForm1::Removefromlist1Click() {
    RemoveSelectedEntry(Recent, suiStringGrid4->CurrentRow(), *this);
}
void TForm1::EmptyRecentlist1Click() {
    EmptyPersonalList(Recent, *this);
}

// ---- category lists ----

SkinGrid* TForm1::CategoryGrid(TCategoryKind kind) const {
    return kind == TCategoryKind::Style     ? suiStringGrid1
           : kind == TCategoryKind::Country ? suiStringGrid2
                                            : suiStringGrid3;
}
GaugeBar* TForm1::CategoryBar(TCategoryKind kind) const {
    return kind == TCategoryKind::Style ? GaugeBar1 : kind == TCategoryKind::Country ? GaugeBar2 : GaugeBar3;
}
SkinIconButton* TForm1::CategoryIcon(TCategoryKind kind) const {
    return kind == TCategoryKind::Style ? Image2 : kind == TCategoryKind::Country ? Image3 : Image5;
}
SkinEdit* TForm1::CategoryBox(TCategoryKind kind) const {
    return kind == TCategoryKind::Style ? FlatEdit1 : kind == TCategoryKind::Country ? FlatEdit2 : FlatEdit3;
}

void TForm1::BuildCategoryLists() {
    categories_ = lumaro::BuildCategoryLists(Catalogue, UserCollator());
    // every list is cut to whole rows; the results and the bars follow the style list
    const int rows = kListDesignHeight / SkinGrid::kRowHeight;
    const int height = SkinGrid::kRowHeight * rows + 5;
    for (SkinGrid* grid : {suiStringGrid1, suiStringGrid2, suiStringGrid3, suiStringGrid4})
        grid->resize(grid->width(), height);
    for (GaugeBar* bar : {GaugeBar1, GaugeBar2, GaugeBar3, GaugeBar4})
        bar->resize(bar->width(), height + FlatEdit1->height() - 1);
    for (auto kind : {TCategoryKind::Style, TCategoryKind::Country, TCategoryKind::Language})
        ShowCategoryList(kind, categories_.Of(kind));
    GaugeBar4->SetPageSize(suiStringGrid4->FullyVisibleRows());
    GaugeBar4->SetRange(0, static_cast<int>(ResultList.size()) - suiStringGrid4->FullyVisibleRows());
}

void TForm1::ShowCategoryList(TCategoryKind kind, ByteList entries) {
    ByteList& shown = shown_.Of(kind);
    shown = std::move(entries);
    SkinGrid* grid = CategoryGrid(kind);
    grid->SetRows(static_cast<int>(shown.size()),
                  [&shown](int row) { return QString::fromStdString(shown[size_t(row)]); });
    GaugeBar* bar = CategoryBar(kind);
    const int visible = grid->FullyVisibleRows();
    bar->SetPageSize(visible);
    bar->SetRange(0, static_cast<int>(shown.size()) - visible);
    bar->SetInert(static_cast<int>(shown.size()) <= visible);
    bar->SetPosition(0, false);
}

std::string TForm1::CategoryChoice(TCategoryKind kind) const {
    const ByteList& shown = shown_.Of(kind);
    if (shown.empty()) return std::string(kAllCategories);
    return shown[size_t(CategoryGrid(kind)->CurrentRow())];
}

void TForm1::NarrowCategoryList(TCategoryKind kind, const QString& boxText) {
    ShowCategoryList(kind, lumaro::NarrowCategoryList(categories_.Of(kind), boxText.toStdU16String()));
    CategoryIcon(kind)->SetPicture(boxText.isEmpty() ? SkinIconButton::Picture::Magnifier
                                                     : SkinIconButton::Picture::Cross);
}

void TForm1::suiStringGrid1DblClick() {
    RunSearch();
    for (auto kind : {TCategoryKind::Style, TCategoryKind::Country, TCategoryKind::Language}) {
        CategoryIcon(kind)->SetPicture(CategoryChoice(kind) == kAllCategories
                                           ? SkinIconButton::Picture::Magnifier
                                           : SkinIconButton::Picture::Cross);
    }
}

void TForm1::Image2Click() {
    // emptying an empty box fires no change, yet the choice must return to "All"
    if (FlatEdit1->text().isEmpty())
        NarrowCategoryList(TCategoryKind::Style, QString());
    else
        FlatEdit1->clear();
    suiStringGrid1DblClick();
}

void TForm1::Image3Click() {
    if (FlatEdit2->text().isEmpty())
        NarrowCategoryList(TCategoryKind::Country, QString());
    else
        FlatEdit2->clear();
    suiStringGrid1DblClick();
}

void TForm1::Image5Click() {
    if (FlatEdit3->text().isEmpty())
        NarrowCategoryList(TCategoryKind::Language, QString());
    else
        FlatEdit3->clear();
    suiStringGrid1DblClick();
}

void TForm1::Image6Click() {
    TntEdit2->clear();
    TntEdit2->setFocus();
}

// ---- filter and search ----

void TForm1::TntEdit2Change() {
    Image6->SetPicture(TntEdit2->text().isEmpty() ? SkinIconButton::Picture::Magnifier
                                                  : SkinIconButton::Picture::Cross);
    RunSearch();
}

void TForm1::RunSearch() {
    const std::u16string text = TntEdit2->text().toStdU16String();
    nonAscii_ = HasNonAscii(text);
    ResultList =
        filter_.BuildResultList(CategoryChoice(TCategoryKind::Style), CategoryChoice(TCategoryKind::Country),
                                CategoryChoice(TCategoryKind::Language), PrepareSearchText(text), nonAscii_);
    SetView(TBrowseView::Catalogue);
    RefreshResultsView();
}

// ---- results view ----

TBrowseSource TForm1::Source() const {
    return TBrowseSource{&Catalogue, &ResultList, &Favorites, &Recent};
}

void TForm1::SetView(TBrowseView view) {
    view_ = view;
    Label1->SetTextColor(view == TBrowseView::Favorites ? kViewLabelActive : kViewLabelInactive);
    Label17->SetTextColor(view == TBrowseView::Recent ? kViewLabelActive : kViewLabelInactive);
    Label1->SetShadow(view == TBrowseView::Favorites);
    Label17->SetShadow(view == TBrowseView::Recent);
}

void TForm1::RefreshResultsView() {
    const TBrowseView view = view_;
    const size_t count = Source().Count(view);
    Label24->setText(QString::fromStdU16String(CountLabelText(count)));
    suiStringGrid4->SetRows(
        static_cast<int>(count),
        [this, view](int row) {
            const std::u16string* line = Source().Line(view, size_t(row));
            return line ? QString::fromStdU16String(std::u16string(RowName(*line))) : QString();
        },
        [this, view](int row) {
            const std::u16string* line = Source().Line(view, size_t(row));
            if (!line || !controller_) return false;
            const std::u16string& playing = controller_->State().StationLine;
            return !playing.empty() && *line == playing;
        });
    GaugeBar4->show();
    GaugeBar4->SetPageSize(suiStringGrid4->FullyVisibleRows());
    GaugeBar4->SetRange(0, static_cast<int>(count) - suiStringGrid4->FullyVisibleRows());
    GaugeBar4->SetPosition(0, false);
}

void TForm1::suiStringGrid4Click() {
    const std::u16string* line = Source().Line(view_, size_t(suiStringGrid4->CurrentRow()));
    if (!line) return;
    SplitStationLine(*line, SelectedStation);
    TntLabel1->setText(QString::fromStdU16String(StationSummary(SelectedStation)));
}

void TForm1::suiStringGrid4DblClick() {
    if (!controller_) return;
    const std::u16string* line = Source().Line(view_, size_t(suiStringGrid4->CurrentRow()));
    if (!line) {
        controller_->ChooseStation(std::u16string());
        suiStringGrid4->update();
        return;
    }
    controller_->PlayStation(std::u16string(*line)); // a copy: starting changes Recent
    suiStringGrid4->repaint();
}

void TForm1::suiStringGrid4MouseDown(Qt::MouseButton button, QPoint pos) {
    suiStringGrid4Click();
    if (button == Qt::RightButton) {
        const int row = suiStringGrid4->RowAt(pos);
        if (row >= 0) suiStringGrid4->SetCurrentRow(row, true);
    }
}

void TForm1::suiStringGrid4MouseUp(Qt::MouseButton button, QPoint pos) {
    if (button != Qt::RightButton || suiStringGrid4->RowAt(pos) < 0) return;
    QMenu* menu = view_ == TBrowseView::Favorites ? PopupMenu2
                  : view_ == TBrowseView::Recent  ? PopupMenu3
                                                  : PopupMenu4;
    menu->popup(suiStringGrid4->mapToGlobal(pos));
}

void TForm1::Label1MouseDown() {
    if (ToggleBrowseView(view_, TBrowseView::Favorites) == TBrowseView::Favorites) {
        SetView(TBrowseView::Favorites);
        RefreshResultsView();
    } else {
        RunSearch();
    }
}

void TForm1::Label17MouseDown() {
    if (ToggleBrowseView(view_, TBrowseView::Recent) == TBrowseView::Recent) {
        SetView(TBrowseView::Recent);
        RefreshResultsView();
    } else {
        RunSearch();
    }
}

void TForm1::GaugeBar1Change(GaugeBar* bar) {
    if (bar->IsInert()) return;
    SkinGrid* grid = bar == GaugeBar1   ? suiStringGrid1
                     : bar == GaugeBar2 ? suiStringGrid2
                     : bar == GaugeBar3 ? suiStringGrid3
                                        : suiStringGrid4;
    grid->SetTopRow(bar->Position());
}

void TForm1::ShowStationInfo() {
    if (form4_) form4_->ShowStationInfo(SelectedStation);
}

void TForm1::LaunchCopy(char kind, int index) {
    const std::string argument = BuildStationArgument(kind, index, x(), y());
    QProcess::startDetached(QCoreApplication::applicationFilePath(), {QString::fromStdString(argument)});
}

void TForm1::Newwindow1Click() {
    const int row = suiStringGrid4->CurrentRow();
    if (row >= 0 && size_t(row) < ResultList.size()) LaunchCopy('s', ResultList[size_t(row)]);
}

void TForm1::Openinnewwindow2Click() {
    const int row = suiStringGrid4->CurrentRow();
    if (size_t(row) < Favorites.Count()) LaunchCopy('f', row);
}

void TForm1::Openinnewwindow1Click() {
    const int row = suiStringGrid4->CurrentRow();
    if (size_t(row) < Recent.Count()) LaunchCopy('r', row);
}

// ---- window ----

void TForm1::DIBImage1MouseDown() {
    if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    // presses that no control took (plain captions, gaps) move the window too
    DIBImage1MouseDown();
    event->accept();
}

void TForm1::suiImageButton5Click() {
    close();
}
void TForm1::suiImageButton6Click() {
    showMinimized();
}

void TForm1::ApplyActivationPlacement() {
    if (const auto origin = ArgumentWindowOrigin(StartArgumentParts)) move(origin->left, origin->top);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TntLabel1) {
        if (event->type() == QEvent::Enter) TntLabel1MouseEnter();
        if (event->type() == QEvent::Leave) TntLabel1MouseLeave();
    } else if (watched == suiImageButton3 && event->type() == QEvent::MouseButtonRelease) {
        suiImageButton3MouseUp();
    } else if (event->type() == QEvent::KeyPress) {
        // Once per key: at the focused control of this window (or the window
        // itself when nothing has the focus), before that control sees it.
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        if (widget && widget->window() == this && (widget == focus || (!focus && widget == this))) {
            if (const int code = SoundKeyCode(*static_cast<QKeyEvent*>(event))) FormKeyDown(code);
        }
    }
    return QWidget::eventFilter(watched, event); // never consumed
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ApplyActivationPlacement();
    QWidget::changeEvent(event);
}

} // namespace lumaro
