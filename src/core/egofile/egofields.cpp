#include "core/egofile/egofields.h"

#include "core/model/textutil.h"

namespace korvalo {

namespace egofields {

QString cardIDAsRead(const QString &id, int card)
{
    return CardIDOrDefault(id, card);
}

QString egoNodeAsRead(const QString &egoNode, int)
{
    return egoNode.isEmpty() ? QStringLiteral("none") : egoNode;
}

QString sexAsRead(const QString &sex, int)
{
    return IsBlank(sex) ? QStringLiteral("undefined") : sex;
}

QString humanAsRead(const QString &human, int)
{
    return NormalisedHuman(human);
}

QString nodeSizeAsRead(const QString &nodeSize, int)
{
    return nodeSize.isEmpty() ? QStringLiteral("normal") : nodeSize;
}

} // namespace egofields

} // namespace korvalo
