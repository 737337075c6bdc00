#include "shell/application.h"

int main(int argc, char** argv) {
    return lumaro::RunLumaroRadio(argc, argv);
}
