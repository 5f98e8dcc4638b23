#include "app/FontWarmUp.h"
#include "app/Program.h"
#include "app/SessionBus.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = Program::answerCommandLine(argc, argv))
        return *status;
    // Before the fonts' thread: the connection may fork, and a fork is cheapest with one
    // thread and little memory.
    SessionBus::connectEarly();
    const std::jthread fonts = FontWarmUp::start();
    QApplication app(argc, argv);
    return Program::run();
}
