#include "shell/unit2.h"

#include "data/scrambled_list_file.h"
#include "shell/app_info.h"
#include "shell/app_session.h"
#include "shell/autostart_entry.h"
#include "shell/settings_controls.h"
#include "shell/settings_dialog_layout.h"
#include "shell/start_station.h"
#include "shell/unit1.h"
#include "shell/window_mover.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace lumaro {

namespace {

QString ChooseFolderWithDesktop(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Recordings folder"), start,
                                             QFileDialog::ShowDirsOnly);
}

// Opens the default-station menu on the release of any mouse button over the
// caption (a plain press-and-click label knows only the left one).
class ReleaseFilter : public QObject {
public:
    ReleaseFilter(QObject* parent, std::function<void(QPoint)> released)
        : QObject(parent), released_(std::move(released)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease)
            released_(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return false;
    }

private:
    std::function<void(QPoint)> released_;
};

} // namespace

TForm2::TForm2(TAppSession& session, QWidget* parent)
    : QDialog(parent), session_(session), defaultStation_(session.Folders().DataFile("index.dat")),
      chooseFolder_(ChooseFolderWithDesktop) {
    setWindowTitle("Settings");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    MakeControls();
    FormCreate();
}

void TForm2::MakeControls() {
    Image1 = new TSettingsBackground(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kSettingsWidth, kSettingsHeight);

    auto row = [](const char* name) -> const TSettingsRow& { return *SettingsRow(name); };
    auto caption = [this, &row](const char* name, bool bold = false) {
        const TSettingsRow& r = row(name);
        auto* label = new SkinLabel(r.Caption, this, r.Kind == TSettingsKind::Title ? 12 : 11, bold);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(r.Rect);
        label->SetTextColor(r.Kind == TSettingsKind::Title ? skin::kStrongCaptionText
                                                           : settings_colours::kCaption);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    };
    auto option = [this, &row](const char* name, int* state) {
        const TSettingsRow& r = row(name);
        auto* o = new TSettingsOption(r.Caption, state, this);
        o->setObjectName(QString::fromLatin1(name));
        o->setGeometry(r.Rect);
        o->setVisible(!r.Hidden);
        return o;
    };
    auto field = [this, &row](const char* name, TSettingsField::Trigger trigger, Qt::Alignment align,
                              const char* captionName) {
        const TSettingsRow& r = row(name);
        auto* f = new TSettingsField(trigger, align, this);
        f->setObjectName(QString::fromLatin1(name));
        f->setGeometry(r.Rect);
        f->setText(r.Caption);
        f->setAccessibleName(row(captionName).Caption.trimmed());
        return f;
    };

    // made top to bottom: the keyboard's order
    Label19 = caption("Label19", true);
    Label2 = option("Label2", &options_.StartWithWindows);
    Label1 = option("Label1", &options_.MinimizeToTray);
    Label4 = option("Label4", &options_.RememberPosition);
    Label3 = option("Label3", &options_.AutoPlay);
    Label5 = option("Label5", &options_.ReservedFlag);
    connect(Label2, &TSettingsOption::flipped, this, [this] { Label2MouseUp(); });

    Label7 = caption("Label7");
    TntLabel1 = field("TntLabel1", TSettingsField::Trigger::AnyRelease, Qt::AlignHCenter, "Label7");
    Label7->SetClickable(true);
    Label7->SetAccessibleAsText(true); // the field is the control; the caption names it
    Label7->installEventFilter(new ReleaseFilter(Label7, [this](QPoint at) { Label7MouseUp(at); }));
    connect(TntLabel1, &TSettingsField::activated, this, [this](QPoint at) { Label7MouseUp(at); });

    Label8 = caption("Label8");
    TntLabel2 = field("TntLabel2", TSettingsField::Trigger::LeftClick, Qt::AlignLeft, "Label8");
    Label8->SetClickable(true);
    Label8->SetAccessibleAsText(true);
    connect(Label8, &SkinLabel::clicked, this, [this] { Label8Click(); });
    connect(TntLabel2, &TSettingsField::activated, this, [this] { Label8Click(); });

    Label9 = caption("Label9");
    suiSpinEdit1 = new TTimeoutBox(this);
    suiSpinEdit1->setObjectName(QStringLiteral("suiSpinEdit1"));
    suiSpinEdit1->setGeometry(row("suiSpinEdit1").Rect);
    suiSpinEdit1->setAccessibleName(row("suiSpinEdit1").Caption);
    suiSpinEdit1->setValue(options_.TimeoutSeconds);
    connect(suiSpinEdit1, &QSpinBox::valueChanged, this, [this](int seconds) {
        options_.TimeoutSeconds = seconds;
        session_.Player().SetTimeoutSeconds(seconds);
    });

    Label10 = caption("Label10");
    // the longest caption, in the dialog's width, centred over its field
    Label10->setFont(skin::Font(10));
    Label10->setAlignment(Qt::AlignCenter);
    HotKey1 = new THotKeyField(this);
    HotKey1->setObjectName(QStringLiteral("HotKey1"));
    HotKey1->setGeometry(row("HotKey1").Rect);
    HotKey1->setAccessibleName(row("HotKey1").Caption);
    HotKey1->Show(options_.HotKey);
    connect(HotKey1, &THotKeyField::recorded, this, [this](const THotKey& hotKey) {
        options_.HotKey = hotKey;
        HotKey1->Show(hotKey);
    });

    Label6 = new TSettingsButton(row("Label6").Caption, this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setGeometry(row("Label6").Rect);
    connect(Label6, &QAbstractButton::clicked, this, [this] { Label6Click(); });

    TntPopupMenu1 = new QMenu(this);
    TntPopupMenu1->setObjectName(QStringLiteral("TntPopupMenu1"));
    TntPopupMenu1->setStyleSheet(skin::MenuStyleSheet());
    connect(TntPopupMenu1->addAction(QStringLiteral("Use current")), &QAction::triggered, this,
            [this] { Setcurrent1Click(session_.PlayerState().StationLine); });
    Favorites1 = TntPopupMenu1->addMenu(QStringLiteral("Favorites"));
    Recent1 = TntPopupMenu1->addMenu(QStringLiteral("Recent"));
    connect(TntPopupMenu1->addAction(QStringLiteral("(empty)")), &QAction::triggered, this,
            [this] { Setcurrent1Click({}); });
}

void TForm2::FormCreate() {
    // The global hot key, then settings.dat: neither can stop the start.
    options_.HotKey = HotKeyFromFile(session_.Folders().ConfigFile("hotkey.dat"));
    if (!options_.HotKey.Empty()) session_.RegisterHotKey(options_.HotKey);
    session_.SettingsStore().LoadSettings(options_);

    // The start station; a station argument that names no line ends the
    // creation here, before the dialog's appearance.
    TForm1& form1 = session_.MainWindow();
    const TStartStation start =
        ChooseStartStation(session_.FirstArgument().toStdString(), session_.Catalogue(), session_.Favorites(),
                           session_.Recent(), session_.Folders().DataFile("index.dat"));
    form1.Mover().SetStartArgumentParts(start.ArgumentParts);
    form1.Mover().SetRememberedPosition(session_.SettingsStore().RememberedPosition());
    if (!start.Completed) return;
    if (!start.StationLine.empty())
        TntLabel1->setText(QString::fromStdU16String(form1.Browser().PutStartStation(start.StationLine)[0]));

    PrepareAppearance();
}

void TForm2::PrepareAppearance() {
    if (appearancePrepared_) return;
    appearancePrepared_ = true;
    setFixedSize(kSettingsWidth, kSettingsHeight);
    Image1->SetFrames(SettingsFrames());
}

void TForm2::ShowDialog() {
    PrepareAppearance();
    exec();
}

void TForm2::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TForm2::FormShow() {
    CentreOverOwner(*this);
    RefreshOptionColours();
    const QString folder = QString::fromStdString(session_.Recorder().RecordingsFolder());
    TntLabel2->setText(folder);
    TntLabel2->setToolTip(folder);
    // the values the settings file may have set since the last showing
    options_.TimeoutSeconds = std::clamp(options_.TimeoutSeconds, kTimeoutMinimum, kTimeoutMaximum);
    suiSpinEdit1->setValue(options_.TimeoutSeconds);
    HotKey1->Show(options_.HotKey);
    suiSpinEdit1->Deselect();
}

void TForm2::RefreshOptionColours() {
    for (TSettingsOption* option : {Label2, Label1, Label4, Label3, Label5})
        option->ShowState();
}

void TForm2::Label2MouseUp() {
    if (options_.StartWithWindows == 1)
        SetAutostart(QLatin1String(kAppName), AutostartCommand(session_.Folders().Executable));
    else
        ClearAutostart();
}

void TForm2::Label7MouseUp(QPoint globalPos) {
    const auto chosen = [this](const std::u16string& line) { Setcurrent1Click(line); };
    FillStationSubmenu(*Favorites1, session_.Favorites(), chosen);
    FillStationSubmenu(*Recent1, session_.Recent(), chosen);
    TntPopupMenu1->popup(globalPos);
}

void TForm2::Setcurrent1Click(const std::u16string& line) {
    defaultStation_.Choose(line);
    TntLabel1->setText(DefaultStationText(line));
}

void TForm2::Label8Click() {
    const QString previous = QString::fromStdString(session_.Recorder().RecordingsFolder());
    const QString chosen = chooseFolder_(this, QFileInfo(previous).absolutePath());
    if (chosen.isEmpty()) return;
    const QString path = QDir::cleanPath(chosen + QStringLiteral("/LumaroRadioRecordings"));
    session_.Recorder().SetRecordingsFolder(path.toStdString());
    // a folder that cannot be made: the next recording fails, and the field
    // keeps showing the folder it showed
    if (!QDir().mkpath(path)) return;
    TntLabel2->setText(path);
    TntLabel2->setToolTip(path);
}

void TForm2::Label6Click() {
    session_.TrayIcon().SetMinimizeToTray(options_.MinimizeToTray == 1);
    accept();
    // registering releases the combination held first
    session_.RegisterHotKey(options_.HotKey);
    try {
        WriteFileAtomically(session_.Folders().ConfigFile("hotkey.dat"),
                            HotKeyText(options_.HotKey) + "\r\n");
    } catch (const ListFileError&) {
    }
}

} // namespace lumaro
