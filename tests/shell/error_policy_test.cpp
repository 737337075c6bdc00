// An exception that reaches the event loop ends its handler and is dropped:
// the program's own application object, with its own main, since a process
// holds one application object.

#include "shell/application.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ErrorPolicy, AThrowingHandlerIsDroppedAndTheLoopCarriesOn) {
    int after = 0;
    QTimer::singleShot(0, [] { throw std::runtime_error("a handler's fault"); });
    QTimer::singleShot(0, [] { throw 42; });
    QTimer::singleShot(10, [&] {
        ++after;
        QCoreApplication::exit(7);
    });
    EXPECT_EQ(QCoreApplication::exec(), 7);
    EXPECT_EQ(after, 1);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    lumaro::TLumaroApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
