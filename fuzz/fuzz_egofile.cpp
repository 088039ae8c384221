// libFuzzer target for the ego file reader: any bytes must give a model or a message,
// the same as the searches alone give (files in the writer's layout are read in one pass),
// whatever is read must write out again, and its first card must draw in bounded time
// (circle counts, line widths and group sizes up to the largest whole numbers).
#include "core/egofile/egofile.h"
#include "core/egofile/egoreader.h"
#include "core/egofile/linejoin.h"
#include "core/map/render.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

using namespace korvalo;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Drawing needs fonts, hence an application object; it draws off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: the font caches it keeps for drawing stay reachable until the
    // process ends, instead of being cut loose when it goes at exit.
    static QGuiApplication *app = new QGuiApplication(*argc, *argv);
    Q_UNUSED(app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList warnings, searchedWarnings;
    const Result<NetworkModel> status = ReadEgoBytes(
        bytes, QStringLiteral("fuzz.ego"), ReadOptions{u'.', [&](const QString &l) { warnings << l; }, {}});
    LineJoiner joiner(size);
    joiner.feed(std::string_view(bytes.constData(), size));
    const TextBuffer joined = joiner.finish();
    const Result<NetworkModel> searched = ReadJoinedLines(
        joined, QStringLiteral("fuzz.ego"), ReadOptions{u'.', [&](const QString &l) { searchedWarnings << l; }, {}},
        true);
    if (status.ok() != searched.ok() || status.message() != searched.message() || warnings != searchedWarnings
        || (status.ok() && !(status.value() == searched.value())))
        std::abort();
    if (status.ok()) {
        const NetworkModel &model = status.value();
        if (model.CardCount() > MaxCards || EgoFileBytes(model).isEmpty())
            std::abort();
        if (model.CardCount() >= 1) {
            QImage image(120, 100, QImage::Format_RGB32);
            ViewOptions view;
            view.ColorSectors1 = true;
            view.ShowGroupSize1 = true;
            RenderCard(image, model, 1, view);
        }
    } else if (status.message().isEmpty()) {
        std::abort();
    }
    return 0;
}
