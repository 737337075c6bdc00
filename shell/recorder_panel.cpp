#include "shell/recorder_panel.h"

#include "shell/unit1.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace lumaro {

void TRecorderPanel::SetRecPicture(bool recording) {
    form_.suiImageButton9->SetState(recording ? SkinSwitch::State::Recording : SkinSwitch::State::Idle);
}

void TRecorderPanel::SetRecordingLabelVisible(bool visible) {
    form_.Label23->setVisible(visible);
}

bool TRecorderPanel::AskStopRecording() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Recording..."),
                    QStringLiteral("Recording in progress. Stop it now?"), QMessageBox::Yes | QMessageBox::No,
                    &form_);
    return box.exec() == QMessageBox::Yes;
}

void TRecorderPanel::OpenFolder(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

} // namespace lumaro
