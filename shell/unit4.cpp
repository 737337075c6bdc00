#include "shell/unit4.h"

namespace lumaro {

TForm4::TForm4(QWidget* parent) : QDialog(parent) { setWindowTitle("Station Info"); }

} // namespace lumaro
