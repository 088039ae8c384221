// libFuzzer target for the ego file reader: any bytes must give a model or a message,
// and whatever is read must write out again.
#include "egofile/egofile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<NetworkModel> status =
        ReadEgoBytes(bytes, QStringLiteral("fuzz.ego"), ReadOptions{u'.', [](const QString &) {}});
    if (status.ok()) {
        const NetworkModel &model = status.value();
        if (model.CardCount() > MaxCards || EgoFileBytes(model).isEmpty())
            std::abort();
    } else if (status.message().isEmpty()) {
        std::abort();
    }
    return 0;
}
