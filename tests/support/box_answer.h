#pragma once
// Answers the next modal message box with a button, as a user would, and
// keeps what it asked ("title|text").

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace lumaro::test_support {

class BoxAnswer {
public:
    explicit BoxAnswer(QMessageBox::StandardButton button) {
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            timer_.stop();
            asked_ = box->windowTitle() + "|" + box->text();
            box->button(button)->click();
        });
        timer_.start(10);
    }
    const QString& Asked() const { return asked_; }

private:
    QTimer timer_;
    QString asked_;
};

} // namespace lumaro::test_support
