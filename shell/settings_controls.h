#pragma once
// The Settings dialog's own controls, drawn in the skin: its picture with the
// dark frames, the on/off options, the OK caption, the two clickable fields,
// the time-out box and the hot-key recorder. The options, OK and the fields
// are buttons underneath, so keyboard focus, Space and assistive technology
// (check boxes with their state, buttons) come from Qt.

#include "shell/hot_key_text.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>

#include <vector>

namespace lumaro {

// The picture behind the dialog: the charcoal body inside a one-pixel black
// border, and the dark frames once the dialog's appearance is prepared.
class TSettingsBackground : public QWidget {
    Q_OBJECT
public:
    explicit TSettingsBackground(QWidget* parent);
    void SetFrames(std::vector<QRect> frames);

protected:
    void paintEvent(QPaintEvent* event) override;
    // The dialog does not move: a press on its picture does nothing.
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<QRect> frames_;
};

// An option: a press of any mouse button (or Space, or assistive
// technology's toggle) flips the state it shows, 0 → 1 and anything else → 0.
// The colour follows the state when it flips and when ShowState is called.
class TSettingsOption : public QAbstractButton {
    Q_OBJECT
public:
    // state: the option's integer state, owned by the dialog's options.
    TSettingsOption(const QString& caption, int* state, QWidget* parent);
    int State() const { return *state_; }
    // The colour of the state held now.
    void ShowState();
    QColor Colour() const;

signals:
    // After every flip, with the new state.
    void flipped(int state);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void nextCheckState() override;

private:
    void Flip();
    int* state_;
};

// The OK caption: #474D5A, #687486 while a mouse button is held on it; a
// click of the left button, Space or Return confirms.
class TSettingsButton : public QAbstractButton {
    Q_OBJECT
public:
    TSettingsButton(const QString& caption, QWidget* parent);
    QColor Colour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool mouseDown_ = false;
    bool leftDown_ = false;
};

// A field that opens a chooser: the default station or the recordings
// folder. Its text is shown as given (an "&" is no shortcut), elided to fit;
// assistive technology reads the caption as its name and the text as its
// description.
class TSettingsField : public QAbstractButton {
    Q_OBJECT
public:
    enum class Trigger {
        AnyRelease, // the release of any mouse button over it
        LeftClick,  // a click of the left button
    };
    TSettingsField(Trigger trigger, Qt::Alignment alignment, QWidget* parent);
    void setText(const QString& text);
    QString text() const { return text_; }

signals:
    // The chooser should open, at globalPos (the pointer, or below the field
    // when the keyboard asked).
    void activated(QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Trigger trigger_;
    Qt::Alignment alignment_;
    QString text_;
    bool leftDown_ = false;
};

// The connection time-out: 3 … 30 in steps of 1, changed by its arrows (and
// the arrow keys) only; nothing can be typed and the wheel does nothing.
class TTimeoutBox : public QSpinBox {
    Q_OBJECT
public:
    explicit TTimeoutBox(QWidget* parent);
    void Deselect();

protected:
    void wheelEvent(QWheelEvent* event) override;
    // Nothing can be typed, so nothing is selected; the box lights up
    // instead while it has the focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The hot-key field: records the key pressed with Shift, Ctrl and Alt (Shift
// and Ctrl when none is held) and shows the combination's text. Tab and
// Shift+Tab move on, a plain Escape closes the dialog, modifiers alone and
// keys without a code change nothing.
class THotKeyField : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKeyField(QWidget* parent);
    void Show(const THotKey& hotKey);

signals:
    void recorded(const THotKey& hotKey);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // lit while it has the focus, as it shows no cursor
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace lumaro
