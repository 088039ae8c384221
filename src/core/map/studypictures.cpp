#include "core/map/studypictures.h"

#include "core/map/jpegwriter.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace korvalo {

namespace {

QImage drawCard(const NetworkModel &model, int card, const ViewOptions &view, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    RenderCard(image, model, card, view);
    return image;
}

constexpr int GridColumns = 3;

} // namespace

QString StudyCardPictureName(const NetworkModel &model, int card)
{
    QString name = model.ego.Name + u'-' + model.Cards[size_t(card)].ID;
    for (QChar &c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<'
            || c == u'>' || c == u'|' || c.unicode() < 32)
            c = u'_';
    }
    if (name.startsWith(u'.'))
        name[0] = u'_';
    return name + u".jpg"_s;
}

StudyPictureResult ExportStudyCards(const QStringList &files, const QString &outFolder, const ViewOptions &view,
                                    QSize cardSize, const StudyWalkOptions &walk)
{
    struct Pictures
    {
        QStringList names;
        std::vector<QByteArray> jpegs;
        QStringList errors;
    };
    StudyPictureResult result;
    QSet<QString> taken;
    const QDir dir(outFolder);
    result.walk = WalkStudy<Pictures>(
        files, walk,
        [&view, cardSize](const QString &, const NetworkModel &model) {
            Pictures p;
            for (int c = 1; c <= model.CardCount(); ++c) {
                QString error;
                p.names << StudyCardPictureName(model, c);
                p.jpegs.push_back(EncodeJpeg(drawCard(model, c, view, cardSize), 100, &error));
                p.errors << error;
            }
            return p;
        },
        [&](const QString &, Pictures &p) {
            for (qsizetype i = 0; i < p.names.size(); ++i) {
                QString name = p.names[i];
                for (int n = 2; taken.contains(name.toLower()); ++n)
                    name = p.names[i].chopped(4) + u" (%1).jpg"_s.arg(n);
                taken.insert(name.toLower());
                const QString path = dir.filePath(name);
                QFile file(path);
                if (p.jpegs[size_t(i)].isEmpty())
                    result.refused.push_back({path, p.errors[i]});
                else if (!file.open(QIODevice::WriteOnly) || file.write(p.jpegs[size_t(i)]) != p.jpegs[size_t(i)].size())
                    result.refused.push_back({path, file.errorString()});
                else
                    result.written.push_back({path, {}});
            }
        });
    return result;
}

StudyPictureResult ExportStudyGrid(const QStringList &files, const QString &path, const ViewOptions &view,
                                   QSize cardSize, const StudyWalkOptions &walk)
{
    StudyPictureResult result;
    const qint64 height = qint64(files.size()) * cardSize.height();
    if (files.isEmpty())
        return result;
    if (height > MaxJpegDimension() || cardSize.width() * GridColumns > MaxJpegDimension()) {
        result.refused.push_back({path, u"The picture would be %1 pixels tall; a JPEG holds at most %2."_s
                                            .arg(height).arg(MaxJpegDimension())});
        return result;
    }
    QImage grid(cardSize.width() * GridColumns, int(height), QImage::Format_RGB32);
    if (grid.isNull()) {
        result.refused.push_back({path, u"There is not enough memory for the picture."_s});
        return result;
    }
    grid.fill(Qt::white);
    QPainter painter(&grid);
    int row = 0;
    result.walk = WalkStudy<std::vector<QImage>>(
        files, walk,
        [&view, cardSize](const QString &, const NetworkModel &model) {
            std::vector<QImage> cards;
            for (int c = 1; c <= std::min(model.CardCount(), GridColumns); ++c)
                cards.push_back(drawCard(model, c, view, cardSize));
            return cards;
        },
        [&](const QString &file, std::vector<QImage> &cards) {
            // Each file keeps the row of its place in the list, read or not.
            row = int(files.indexOf(file, row));
            for (size_t c = 0; c < cards.size(); ++c)
                painter.drawImage(int(c) * cardSize.width(), row * cardSize.height(), cards[c]);
        });
    painter.end();
    if (result.walk.cancelled)
        return result;
    const Status status = WriteJpegFile(grid, path, 100);
    if (status.ok())
        result.written.push_back({path, {}});
    else
        result.refused.push_back({path, status.message()});
    return result;
}

} // namespace korvalo
