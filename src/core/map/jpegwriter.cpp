#include "core/map/jpegwriter.h"

#include "core/egofile/safefile.h"

#include <QFileInfo>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

// jpeglib.h wants size_t and FILE declared first.
#include <jpeglib.h>

namespace korvalo {

namespace {

// libjpeg reports errors through error_exit, which must not return. It jumps back into
// encodeRows() instead, so that a library error becomes a message and never ends the
// process (the default handler calls exit()).
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo)
{
    auto *errors = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings stay quiet: standard error belongs to the command-line tool's own messages.
void outputMessage(j_common_ptr) {}

struct Encoding
{
    const uchar *bits;
    qsizetype bytesPerLine;
    int width, height, quality;
    J_COLOR_SPACE inputSpace;
    int inputComponents;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
};

// Everything between setjmp and a possible longjmp lives in plain C data, so that the
// jump skips no destructor. Returns false after a library error (message filled in).
bool encodeRows(Encoding &job, ErrorManager &errors)
{
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = errorExit;
    errors.pub.output_message = outputMessage;
    errors.message[0] = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job.buffer, &job.size);

    cinfo.image_width = JDIMENSION(job.width);
    cinfo.image_height = JDIMENSION(job.height);
    cinfo.input_components = job.inputComponents;
    cinfo.in_color_space = job.inputSpace;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;
    // jpeg_set_defaults subsamples the chroma 2x2; every component at full resolution
    // instead keeps one-pixel coloured lines in their colour.
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job.bits + qsizetype(cinfo.next_scanline) * job.bytesPerLine);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

int MaxJpegDimension()
{
    return int(JPEG_MAX_DIMENSION);
}

QByteArray EncodeJpeg(const QImage &image, int quality, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (image.isNull())
        return fail(QStringLiteral("There is no picture to encode."));
    // The map's own format (32-bit RGB) goes to the library as it is where the library
    // reads that byte order; anything else is converted to packed RGB first.
    QImage converted;
    Encoding job{};
    job.width = image.width();
    job.height = image.height();
    job.quality = qBound(1, quality, 100);
#if defined(JCS_EXTENSIONS) && Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
#else
    const bool direct = false;
#endif
    if (direct) {
#if defined(JCS_EXTENSIONS)
        job.inputSpace = JCS_EXT_BGRX;
#endif
        job.inputComponents = 4;
        job.bits = image.constBits();
        job.bytesPerLine = image.bytesPerLine();
    } else {
        converted = image.convertToFormat(QImage::Format_RGB888);
        if (converted.isNull())
            return fail(QStringLiteral("There is not enough memory to encode the picture."));
        job.inputSpace = JCS_RGB;
        job.inputComponents = 3;
        job.bits = converted.constBits();
        job.bytesPerLine = converted.bytesPerLine();
    }

    ErrorManager errors;
    const bool ok = encodeRows(job, errors);
    QByteArray bytes;
    if (ok && job.buffer)
        bytes = QByteArray(reinterpret_cast<const char *>(job.buffer), qsizetype(job.size));
    std::free(job.buffer); // jpeg_mem_dest's buffer is malloc'ed and left to the caller
    if (!ok)
        return fail(QStringLiteral("The JPEG encoder failed: %1").arg(QString::fromLocal8Bit(errors.message)));
    if (bytes.isEmpty())
        return fail(QStringLiteral("There is not enough memory to encode the picture."));
    return bytes;
}

Status WriteJpegFile(const QImage &image, const QString &path, int quality)
{
    QString why;
    const QByteArray bytes = EncodeJpeg(image, quality, &why);
    if (bytes.isEmpty())
        return Status::failure(QStringLiteral("Cannot save \"%1\": %2").arg(QFileInfo(path).fileName(), why));
    return ReplaceFileSafely(path, std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace korvalo
