#include "cli/commands.h"

#include <cstdio>

int runRender(const QStringList &)
{
    std::fputs("korvalo-cli: render is not available yet\n", stderr);
    return 2;
}
