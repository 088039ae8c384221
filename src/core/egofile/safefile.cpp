#include "core/egofile/safefile.h"

#include "core/egofile/platformfile.h"
#include "core/egofile/textcodec.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace korvalo {

Status ReplaceFileSafely(const QString &path, std::string_view data, const WrittenFileCheck &check)
{
    const QString name = QFileInfo(path).fileName();
    auto refuse = [&](const QString &why) {
        return Status::failure(QStringLiteral("Cannot save \"%1\": %2").arg(name, why));
    };
    static const QString unchanged = QStringLiteral(" The previous file is unchanged.");
    SaveFile file(path);
    QString problem = file.open();
    if (!problem.isEmpty())
        return refuse(problem);
    problem = file.writeAndSync(data);
    if (!problem.isEmpty())
        return refuse(problem + unchanged);
    if (check) {
        problem = file.readBack(check.consume);
        if (problem.isEmpty())
            problem = check.verdict();
        if (!problem.isEmpty())
            return refuse(problem + unchanged);
    }
    problem = file.commit();
    if (!problem.isEmpty())
        return refuse(problem + unchanged);
    return Status::success();
}

TextBuffer TextFileBytes(const QStringList &lines)
{
    Charset widest = Charset::Ascii;
    for (const QString &line : lines)
        widest = std::max(widest, CharsetOf(line));
    auto text = [&lines](bool utf8) {
        TextBuffer out;
        for (const QString &line : lines) {
            AppendEgoText(out, line, utf8);
            out += "\r\n";
        }
        return out;
    };
    // As ego files: Windows-1252 bytes that would be taken for UTF-8 are written as UTF-8.
    if (widest == Charset::Windows1252) {
        TextBuffer out = text(false);
        if (!IsValidUtf8(out))
            return out;
    }
    return text(widest != Charset::Ascii);
}

} // namespace korvalo
