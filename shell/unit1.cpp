#include "shell/unit1.h"

#include "shell/key_table.h"
#include "shell/main_window_layout.h"
#include "shell/unit2.h"
#include "shell/unit3.h"
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
#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace lumaro {

namespace {

template <typename T> T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// The menus of the three views and the tray: each entry's caption and
// handler; no caption: a separator.
struct TMenuEntry {
    const char* Caption;
    void (TForm1::*Handler)();
};

} // namespace

TForm1::TForm1(TAppSession& session, QWidget* parent) : QWidget(parent), session_(session), mover_(*this) {
    InstallSkinAccessibility();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    MakeControls(*this, MainWindowLayout());
    BindControls();
    CreateMenus();
    display_ = std::make_unique<TPlaybackDisplay>(*this, session_);
    effects_ = std::make_unique<TEffectsPanel>(*this, session_);
    recorder_ = std::make_unique<TRecorderPanel>(*this);
    browser_ = std::make_unique<TBrowser>(*this, session_);
    ConnectControls();
}

TForm1::~TForm1() {
    // the parts go before the controls: nothing reaches them from here on
    qApp->removeEventFilter(this);
    TntLabel1->removeEventFilter(this);
    suiImageButton3->removeEventFilter(this);
}

void TForm1::BindControls() {
    const auto bind = [this](auto*& control, const char* name) {
        control = findChild<std::remove_reference_t<decltype(*control)>*>(QString::fromLatin1(name),
                                                                          Qt::FindDirectChildrenOnly);
    };
#define LUMARO_BIND(control) bind(control, #control)
    LUMARO_BIND(DIBImage1);
    LUMARO_BIND(suiImageButton5);
    LUMARO_BIND(suiImageButton6);
    LUMARO_BIND(TntLabel1);
    LUMARO_BIND(TntLabel2);
    LUMARO_BIND(TntLabel3);
    LUMARO_BIND(Label5);
    LUMARO_BIND(Label23);
    LUMARO_BIND(DIBKnob1);
    LUMARO_BIND(DIBKnob2);
    LUMARO_BIND(DIBKnob3);
    LUMARO_BIND(DIBKnob4);
    LUMARO_BIND(DIBKnob5);
    LUMARO_BIND(DIBKnob6);
    LUMARO_BIND(DIBKnob7);
    LUMARO_BIND(Label2);
    LUMARO_BIND(Label6);
    LUMARO_BIND(Label7);
    LUMARO_BIND(Label9);
    LUMARO_BIND(Label10);
    LUMARO_BIND(Label16);
    LUMARO_BIND(suiImageButton8);
    LUMARO_BIND(suiImageButton3);
    LUMARO_BIND(Label13);
    LUMARO_BIND(suiImageButton4);
    LUMARO_BIND(suiImageButton9);
    LUMARO_BIND(suiImageButton7);
    LUMARO_BIND(suiImageButton2);
    LUMARO_BIND(Label12);
    LUMARO_BIND(Label18);
    LUMARO_BIND(Label19);
    LUMARO_BIND(Label22);
    LUMARO_BIND(Label1);
    LUMARO_BIND(Label17);
    LUMARO_BIND(Label20);
    LUMARO_BIND(FlatEdit1);
    LUMARO_BIND(FlatEdit2);
    LUMARO_BIND(FlatEdit3);
    LUMARO_BIND(TntEdit2);
    LUMARO_BIND(Image2);
    LUMARO_BIND(Image3);
    LUMARO_BIND(Image5);
    LUMARO_BIND(Image6);
    LUMARO_BIND(suiStringGrid1);
    LUMARO_BIND(suiStringGrid2);
    LUMARO_BIND(suiStringGrid3);
    LUMARO_BIND(suiStringGrid4);
    LUMARO_BIND(GaugeBar1);
    LUMARO_BIND(GaugeBar2);
    LUMARO_BIND(GaugeBar3);
    LUMARO_BIND(GaugeBar4);
    LUMARO_BIND(Label24);
#undef LUMARO_BIND
}

void TForm1::CreateMenus() {
    // the URL menu, filled by the playback display
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    const auto menu = [this](const char* name, std::initializer_list<TMenuEntry> entries) {
        QMenu* popup = Named(new QMenu(this), name);
        for (const TMenuEntry& entry : entries) {
            if (entry.Caption)
                popup->addAction(QString::fromLatin1(entry.Caption), this, entry.Handler);
            else
                popup->addSeparator();
        }
        return popup;
    };
    PopupMenu2 = menu("PopupMenu2", {{"Remove from Favorites", &TForm1::DeletefromFavorites1Click},
                                     {"Empty Favorites list", &TForm1::EmptyFavoriteslist1Click},
                                     {"Station info", &TForm1::Stationinfo1Click},
                                     {"Open in new window", &TForm1::Openinnewwindow2Click}});
    PopupMenu3 = menu("PopupMenu3", {{"Remove from Recent", &TForm1::Removefromlist1Click},
                                     {"Empty Recent list", &TForm1::EmptyRecentlist1Click},
                                     {"Station info", &TForm1::Stationinfo2Click},
                                     {"Open in new window", &TForm1::Openinnewwindow1Click}});
    PopupMenu4 = menu("PopupMenu4", {{"Add to Favorites", &TForm1::AddtoFavorites1Click},
                                     {"Station info", &TForm1::Addtofavorites2Click},
                                     {"Open in new window", &TForm1::Newwindow1Click}});
    PopupMenu5 = menu("PopupMenu5", {{"About", &TForm1::About1Click},
                                     {nullptr, nullptr},
                                     {"Show main window", &TForm1::Showmainwindow1Click},
                                     {"Minimize", &TForm1::Minimisetotray1Click},
                                     {nullptr, nullptr},
                                     {"Close Lumaro Radio", &TForm1::Closelumaroradio1Click}});
    for (QMenu* popup : {PopupMenu1, PopupMenu2, PopupMenu3, PopupMenu4, PopupMenu5})
        popup->setStyleSheet(skin::MenuStyleSheet());

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
    mover_.Attach(DIBImage1);
    mover_.Attach(this); // presses on the window's gaps
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
    effects_->ConnectKnobs();

    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    // The window sees every key before the focused control does.
    qApp->installEventFilter(this);

    connect(FlatEdit1, &QLineEdit::textChanged, this, &TForm1::FlatEdit1Change);
    connect(FlatEdit2, &QLineEdit::textChanged, this, &TForm1::FlatEdit2Change);
    connect(FlatEdit3, &QLineEdit::textChanged, this, &TForm1::FlatEdit3Change);
    for (const TCategoryColumn& column : browser_->Columns().All()) {
        column.Box->SetKeyTarget(column.Grid);
        connect(column.Grid, &SkinGrid::activated, this, &TForm1::suiStringGrid1DblClick);
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
    // every bar scrolls its list, and follows the list when it scrolls by itself
    const std::pair<GaugeBar*, SkinGrid*> bars[] = {{GaugeBar1, suiStringGrid1},
                                                    {GaugeBar2, suiStringGrid2},
                                                    {GaugeBar3, suiStringGrid3},
                                                    {GaugeBar4, suiStringGrid4}};
    for (auto [bar, grid] : bars) {
        connect(bar, &GaugeBar::changed, this, [this, bar] { GaugeBar1Change(bar); });
        connect(grid, &SkinGrid::topRowChanged, bar, [bar](int top) { bar->SetPosition(top, false); });
    }
}

void TForm1::FormCreate() {
    TTrayIcon& tray = session_.TrayIcon();
    tray.SetMenu(PopupMenu5);
    tray.OnActivated([this] { CoolTrayIcon1Click(); });
    tray.Show(QStringLiteral("Lumaro Radio"));
    for (SkinLabel* label : {TntLabel1, TntLabel2, TntLabel3, Label5})
        label->clear();
    setFixedSize(982, 480);
    browser_->FillResults();
    InitAudioEngine();
    BuildCategoryLists();
    BuildUrlMenu();
    Timer1->start();
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    Timer1->stop();
    Timer2->stop();
    session_.Close(); // the engine released; a recording ends whole
    session_.SettingsStore().SaveSettings();
    session_.EndProcess();
}

void TForm1::FormActivate() {
    restoring_ = false; // back in front: a minimise from here on is the user's
    mover_.ApplyActivationPlacement(session_.Settings().Options().RememberPosition == 1);
}

void TForm1::ShowMainWindow() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void TForm1::HideToTray() {
    // hidden while minimised, it may come back minimised (changeEvent)
    restoring_ = isMinimized();
    hide(); // a hidden window has no task-bar entry either
}

void TForm1::suiImageButton6Click() {
    TTrayIcon& tray = session_.TrayIcon();
    tray.SetMinimizeToTray(session_.Settings().Options().MinimizeToTray == 1);
    if (tray.MinimizeToTray())
        HideToTray(); // straight there: a window hidden while minimised comes back so
    else
        showMinimized();
}

void TForm1::Label20Click() {
    session_.About().ShowAbout();
}

void TForm1::HotKeyManager1HotKeyPressed() {
    // a window hidden or minimised is not in front, whatever the focus says
    const bool active =
        QGuiApplication::applicationState() == Qt::ApplicationActive && isVisible() && !isMinimized();
    const THotKeyAction action = HotKeyAction(session_.Settings().isVisible(), active);
    if (action == THotKeyAction::HideToTray) HideToTray();
    if (action == THotKeyAction::ShowMainWindow) ShowMainWindow();
}

void TForm1::CoolTrayIcon1Click() {
    if (session_.About().isVisible()) session_.About().reject();
    ShowMainWindow();
}

void TForm1::About1Click() {
    ShowMainWindow();
    Label20Click();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!session_.Recorder().FormCloseQuery()) {
        event->ignore(); // No: the window and the recording go on
        return;
    }
    FormClose();
    QWidget::closeEvent(event);
}

void TForm1::Label19Click() {
    session_.Settings().ShowDialog();
}

void TForm1::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    switch (KeyCommand(key, modifiers)) {
    case TKeyCommand::VolumeUp:
        session_.Effects().VolumeUp();
        break;
    case TKeyCommand::VolumeDown:
        session_.Effects().VolumeDown();
        break;
    case TKeyCommand::Mute:
        suiImageButton7Click();
        break;
    case TKeyCommand::PlayStop:
        suiImageButton8Click();
        break;
    case TKeyCommand::None:
        break;
    }
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    // presses that no control took (plain captions, gaps) move the window too
    DIBImage1MouseDown();
    event->accept();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TntLabel1) {
        if (event->type() == QEvent::Enter) TntLabel1MouseEnter();
        if (event->type() == QEvent::Leave) TntLabel1MouseLeave();
    } else if (watched == suiImageButton3 && event->type() == QEvent::MouseButtonRelease) {
        suiImageButton3MouseUp();
    } else if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && keyPresses_.ActOn(event, *widget, *this, QApplication::focusWidget())) {
            const auto* key = static_cast<QKeyEvent*>(event);
            FormKeyDown(key->key(), key->modifiers());
        }
    }
    return QWidget::eventFilter(watched, event); // never consumed
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    if (event->type() == QEvent::WindowStateChange) {
        if (restoring_ && isVisible()) {
            restoring_ = false;
            if (isMinimized()) QTimer::singleShot(0, this, [this] { ShowMainWindow(); });
        } else if (isMinimized() && session_.TrayIcon().MinimizeToTray()) {
            QTimer::singleShot(0, this, [this] {
                if (isMinimized()) HideToTray();
            });
        }
    }
    QWidget::changeEvent(event);
}

void TForm1::showEvent(QShowEvent* event) {
    if (!shown_) {
        // centred on the screen at the first show
        shown_ = true;
        if (const QScreen* s = screen()) {
            const QRect area = s->availableGeometry();
            move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
        }
        normalPosition_ = pos();
    }
    QWidget::showEvent(event);
}

void TForm1::moveEvent(QMoveEvent* event) {
    if (!isMinimized()) normalPosition_ = pos();
    QWidget::moveEvent(event);
}

} // namespace lumaro
