#include "shell/settings_controls.h"

#include "shell/settings_dialog_layout.h"
#include "shell/settings_options.h"
#include "ui/skin_style.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace lumaro {

namespace {

using namespace settings_colours;

// A thin light line inside a control that has the keyboard focus.
void DrawFocus(QPainter& p, const QWidget& w) {
    if (!w.hasFocus()) return;
    const QRect r = w.rect().adjusted(1, 1, -2, -2);
    p.setPen(QColor(255, 255, 255, 110));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void PaintCaption(QPainter& p, const QWidget& w, const QColor& fill, const QString& text,
                  Qt::Alignment align) {
    p.fillRect(w.rect(), fill);
    p.setFont(w.font());
    const QRect area = w.rect().adjusted(2, 0, -2, 0);
    skin::DrawShadowText(p, area, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, text, kText);
    DrawFocus(p, w);
}

QPalette BoxPalette(QPalette pal) {
    pal.setColor(QPalette::Base, kField);
    pal.setColor(QPalette::Text, kText);
    pal.setColor(QPalette::Window, kField);
    pal.setColor(QPalette::WindowText, kText);
    pal.setColor(QPalette::Button, kOptionOff);
    pal.setColor(QPalette::ButtonText, kText);
    pal.setColor(QPalette::Highlight, kOptionOn);
    pal.setColor(QPalette::HighlightedText, skin::kTextOnAccent);
    return pal;
}

// A box with the focus is a step lighter, as it shows no cursor.
QPalette FocusedBoxPalette(QPalette pal) {
    pal = BoxPalette(pal);
    pal.setColor(QPalette::Base, kOptionOff);
    pal.setColor(QPalette::Window, kOptionOff);
    return pal;
}

} // namespace

TSettingsBackground::TSettingsBackground(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSettingsBackground::SetFrames(std::vector<QRect> frames) {
    frames_ = std::move(frames);
    update();
}

void TSettingsBackground::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, skin::kBodyTop);
    body.setColorAt(1, skin::kBodyBottom);
    p.fillRect(r, body);
    // a fine grain, as on the main window
    for (int y = r.top() + 2; y < r.bottom(); y += 2)
        skin::HLine(p, r.left() + 1, r.right() - 1, y, QColor(255, 255, 255, 5));
    // the title's band, a step lighter, with a dark line under it
    p.fillRect(QRect(1, 1, r.width() - 2, 23), QColor(255, 255, 255, 10));
    skin::HLine(p, 1, r.right() - 1, 24, QColor(8, 9, 11));
    skin::HLine(p, 1, r.right() - 1, 25, QColor(255, 255, 255, 16));
    // a highlight inside the border, then the border itself
    skin::HLine(p, 1, r.right() - 1, 1, QColor(86, 92, 106));
    skin::VLine(p, 1, 1, r.bottom() - 1, QColor(58, 63, 74));
    p.setPen(Qt::NoPen);
    skin::HLine(p, 0, r.right(), 0, Qt::black);
    skin::HLine(p, 0, r.right(), r.bottom(), Qt::black);
    skin::VLine(p, 0, 0, r.bottom(), Qt::black);
    skin::VLine(p, r.right(), 0, r.bottom(), Qt::black);
    for (const QRect& f : frames_) {
        p.fillRect(f, kFrame);
        // the frame's lower edge catches the light, like the main window's panels
        skin::HLine(p, f.left(), f.right(), f.bottom() + 1, QColor(255, 255, 255, 18));
    }
}

void TSettingsBackground::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

TSettingsOption::TSettingsOption(const QString& caption, int* state, QWidget* parent)
    : QAbstractButton(parent), state_(state) {
    // the caption is kept aside: a button's text would make "&" a shortcut
    setAccessibleName(caption.trimmed());
    setProperty("caption", caption);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(skin::Font(11));
    setCursor(Qt::PointingHandCursor);
    ShowState();
    // assistive technology's toggle sets the checked state directly
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on != (*state_ == 1)) Flip();
    });
}

void TSettingsOption::ShowState() {
    setChecked(*state_ == 1);
    update();
}

QColor TSettingsOption::Colour() const {
    return isChecked() ? kOptionOn : kOptionOff;
}

void TSettingsOption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintCaption(p, *this, Colour(), property("caption").toString(), Qt::AlignLeft);
}

void TSettingsOption::mousePressEvent(QMouseEvent* event) {
    // any button flips
    click();
    event->accept();
}

void TSettingsOption::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void TSettingsOption::nextCheckState() {
    Flip();
}

void TSettingsOption::Flip() {
    *state_ = *state_ == 0 ? 1 : 0;
    ShowState();
    emit flipped(*state_);
}

TSettingsButton::TSettingsButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
    setAccessibleName(caption.trimmed());
    setProperty("caption", caption);
    setFocusPolicy(Qt::StrongFocus);
    setFont(skin::Font(11));
    setCursor(Qt::PointingHandCursor);
}

QColor TSettingsButton::Colour() const {
    return mouseDown_ || isDown() ? kOkPressed : kOk;
}

void TSettingsButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintCaption(p, *this, Colour(), property("caption").toString(), Qt::AlignLeft);
}

void TSettingsButton::mousePressEvent(QMouseEvent* event) {
    mouseDown_ = true;
    leftDown_ = event->button() == Qt::LeftButton;
    update();
    event->accept();
}

void TSettingsButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        leftDown_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->buttons() == Qt::NoButton) mouseDown_ = leftDown_ = false;
    update();
    event->accept();
    if (click) this->click();
}

void TSettingsButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

TSettingsField::TSettingsField(Trigger trigger, Qt::Alignment alignment, QWidget* parent)
    : QAbstractButton(parent), trigger_(trigger), alignment_(alignment) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(skin::Font(11));
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this,
            [this] { emit activated(mapToGlobal(rect().bottomLeft())); });
}

void TSettingsField::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    setAccessibleDescription(text);
    update();
}

void TSettingsField::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    const QRect area = rect().adjusted(3, 0, -3, 0);
    // a long path keeps its end, where the folder's own name is
    const Qt::TextElideMode elide = alignment_ & Qt::AlignHCenter ? Qt::ElideRight : Qt::ElideLeft;
    const QString shown = fontMetrics().elidedText(text_, elide, area.width());
    p.fillRect(rect(), kField);
    skin::DrawShadowText(p, area, int(alignment_ | Qt::AlignVCenter) | Qt::TextSingleLine, shown, kText);
    DrawFocus(p, *this);
}

void TSettingsField::mousePressEvent(QMouseEvent* event) {
    leftDown_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TSettingsField::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint at = event->globalPosition().toPoint();
    if (trigger_ == Trigger::AnyRelease) {
        emit activated(at);
    } else if (leftDown_ && event->button() == Qt::LeftButton &&
               rect().contains(event->position().toPoint())) {
        leftDown_ = false;
        emit activated(at);
    }
}

void TSettingsField::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

TTimeoutBox::TTimeoutBox(QWidget* parent) : QSpinBox(parent) {
    setRange(kTimeoutMinimum, kTimeoutMaximum);
    setSingleStep(1);
    setAlignment(Qt::AlignCenter);
    setFont(skin::Font(11));
    setFrame(false);
    setPalette(BoxPalette(palette()));
    setContextMenuPolicy(Qt::NoContextMenu);
    lineEdit()->setReadOnly(true); // the arrows still step
}

void TTimeoutBox::Deselect() {
    lineEdit()->deselect();
}

void TTimeoutBox::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void TTimeoutBox::focusInEvent(QFocusEvent* event) {
    QSpinBox::focusInEvent(event);
    Deselect();
    setPalette(FocusedBoxPalette(palette()));
}

void TTimeoutBox::focusOutEvent(QFocusEvent* event) {
    QSpinBox::focusOutEvent(event);
    setPalette(BoxPalette(palette()));
}

THotKeyField::THotKeyField(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setFont(skin::Font(11));
    setFrame(false);
    setPalette(BoxPalette(palette()));
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::StrongFocus);
}

void THotKeyField::Show(const THotKey& hotKey) {
    setText(QString::fromStdString(HotKeyText(hotKey)));
    deselect();
}

bool THotKeyField::event(QEvent* event) {
    // every key is the field's while it has the focus, whatever shortcut
    // the program has for it
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void THotKeyField::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Escape && held == Qt::NoModifier) {
        event->ignore(); // the dialog's: close it
        return;
    }
    event->accept();
    const int virtualKey = VirtualKeyFromQt(event->key(), event->modifiers() & Qt::KeypadModifier);
    if (virtualKey == 0) return;
    emit recorded(RecordedHotKey(virtualKey, event->modifiers()));
}

void THotKeyField::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
}

void THotKeyField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    setPalette(FocusedBoxPalette(palette()));
}

void THotKeyField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    setPalette(BoxPalette(palette()));
}

} // namespace lumaro
