// backtwister-host: a small command-line VST 2.x host for trying effect DLLs.
#include "HostCommands.h"
#include "Platform.h"

int main(int argc, char** argv)
{
    Platform::setUpProcess();
    return HostCommands::run(argc, argv);
}
