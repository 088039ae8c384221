// libFuzzer target for the ego file reader: any bytes must give a model or a message,
// and whatever is read must write out again.
#include "egofile/egofile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    NetworkModel model;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Status status = ReadEgoBytes(model, bytes, QStringLiteral("fuzz.ego"), true);
    if (status.ok()) {
        if (model.CardCount() > MaxCards || EgoFileBytes(model).isEmpty())
            std::abort();
    } else if (status.message().isEmpty()) {
        std::abort();
    }
    return 0;
}
