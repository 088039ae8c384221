// The leak checker of the fuzz targets reads its suppressions without being told on the
// command line.
extern "C" const char *__lsan_default_options()
{
    return "suppressions=" KORVALO_LSAN_SUPPRESSIONS;
}
