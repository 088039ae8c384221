#include "cli/commands.h"

#include <cstdio>

int runResave(const QStringList &)
{
    std::fputs("korvalo-cli: resave is not available yet\n", stderr);
    return 2;
}
