#include "app/FontWarmUp.h"
#include "app/Program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = Program::answerCommandLine(argc, argv))
        return *status;
    const std::jthread fonts = FontWarmUp::start();
    QApplication app(argc, argv);
    return Program::run();
}
