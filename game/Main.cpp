// The program's entry point.
#include "base/StringTable.h"
#include "game/GameApp.h"

#include <string>

int main(int argc, char** argv)
{
    std::string arguments;
    for (int i = 1; i < argc; ++i)
    {
        // Arguments with blanks keep them inside double quotes, as the command line they came from.
        std::string argument = argv[i];
        if (!arguments.empty()) arguments += ' ';
        arguments += argument.find(' ') != std::string::npos ? "\"" + argument + "\"" : argument;
    }

    Kavo::GameApp* app = new Kavo::GameApp();
    app->SetCommandLine(arguments);
    app->Initialize();
    Kavo::StringTable::Load();
    app->RunMainLoop();
    app->DeletingDestructor(1);
    return 0;
}
