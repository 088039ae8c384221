#include "gui/dialogs/linesexceldialog.h"

#include "gui/shell/asker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

namespace korvalo {

using namespace Qt::StringLiterals;

LinesExcelDialog::LinesExcelDialog(std::function<Asker &()> asker, ImportTargetProvider target, QWidget *parent)
    : SheetImportDialog(u"TFormLinesExcel"_s, u"Korvalo - Import Lines from Excel"_s, std::move(asker),
                        std::move(target), parent)
{
    auto *box = new QGroupBox(u"Line Attributes"_s, this);
    auto *grid = new QGridLayout(box);
    m_nodeA = columnList(u"ComboBox1"_s);
    addMappingRow(grid, 0, u"Node A:"_s, m_nodeA);
    m_nodeB = columnList(u"ComboBox2"_s);
    addMappingRow(grid, 1, u"Node B:"_s, m_nodeB);
    m_byLabel = new QRadioButton(u"Label"_s, this);
    m_byLabel->setObjectName(u"RadioButton2"_s);
    m_byLabel->setChecked(true);
    m_byId = new QRadioButton(u"Node ID"_s, this);
    m_byId->setObjectName(u"RadioButton1"_s);
    auto *by = new QWidget(this);
    auto *byLayout = new QHBoxLayout(by);
    byLayout->setContentsMargins(0, 0, 0, 0);
    byLayout->addWidget(m_byLabel);
    byLayout->addWidget(m_byId);
    byLayout->addStretch(1);
    grid->addWidget(by, 2, 1);
    connect(m_byId, &QRadioButton::toggled, this, &LinesExcelDialog::refresh);
    m_value = columnList(u"ComboBox3"_s);
    addMappingRow(grid, 3, u"Line Value"_s, m_value, u"(0=none, 1-...)"_s);
    m_color = columnList(u"ComboBox4"_s);
    addMappingRow(grid, 4, u"Line Color:"_s, m_color, u"(1-8)"_s);
    m_ignoreEgo = new QCheckBox(u"Ignore Lines to Ego"_s, this);
    m_ignoreEgo->setObjectName(u"CheckBox1"_s);
    grid->addWidget(m_ignoreEgo, 5, 1);
    connect(m_ignoreEgo, &QCheckBox::toggled, this, &LinesExcelDialog::refresh);

    auto *mapping = new QVBoxLayout;
    mapping->addWidget(box);
    setMappingLayout(mapping);
    setColumns({});
}

void LinesExcelDialog::setColumns(const QStringList &headers)
{
    fillColumnList(m_nodeA, headers);
    fillColumnList(m_nodeB, headers);
    fillColumnList(m_value, headers, u"<ignore>"_s);
    fillColumnList(m_color, headers, u"<ignore>"_s);
    // The two ends start on different columns, so that the first rows are not all
    // "Node A = Node B".
    const QSignalBlocker block(m_nodeB);
    m_nodeB->setCurrentIndex(headers.size() > 1 ? 1 : 0);
}

LineImportOptions LinesExcelDialog::options() const
{
    LineImportOptions o;
    o.rowsToIgnore = rowsToIgnore();
    // Node A and Node B list the columns only: position p is column p + 1.
    o.nodeA = m_nodeA->currentIndex() + 1;
    o.nodeB = m_nodeB->currentIndex() + 1;
    o.byId = m_byId->isChecked();
    o.value = m_value->currentIndex();
    o.color = m_color->currentIndex();
    o.ignoreEgo = m_ignoreEgo->isChecked();
    o.decimalSeparator = target().decimalSeparator;
    return o;
}

std::optional<LineImportResult> LinesExcelDialog::compute(QString *refusal) const
{
    const Sheet *s = sheet();
    if (!s || m_nodeA->currentIndex() < 0 || m_nodeB->currentIndex() < 0 || m_value->currentIndex() < 0
        || m_color->currentIndex() < 0)
        return std::nullopt;
    const ImportTarget t = target();
    const NetworkCard none;
    const Ego noEgo;
    if (!t.card && t.cardCount > 0)
        *refusal = u"No network card is chosen: choose the card to add the lines to in the card list."_s;
    else if (!t.card)
        *refusal = u"Lines are added to the current network card, and there is none yet."_s;
    return ImportLines(*s, table(), options(), t.card ? *t.card : none, t.ego ? *t.ego : noEgo);
}

void LinesExcelDialog::showPreview(const LineImportResult &result, const QString &refusal)
{
    const ImportTarget t = target();
    auto name = [&](int node) {
        if (!t.card || node < 0 || node > t.card->NodeCount())
            return QString();
        if (node == 0)
            return u"Ego"_s;
        const Node &n = t.card->Nodes[size_t(node)];
        return QStringLiteral("%1 [%2] (node %3)").arg(n.Label, n.ID).arg(node);
    };
    std::vector<QStringList> rows;
    for (const Line &l : result.lines)
        rows.push_back({name(l.A), name(l.B), QString::number(l.LineSize), QString::number(l.LineColor)});
    fillPreview({u"Node A"_s, u"Node B"_s, u"Line Value"_s, u"Line Color"_s}, rows, result.lineRows, result,
                summaryOf(result, refusal, QStringLiteral("%1 line(s) will be added.").arg(result.lines.size())));
}

void LinesExcelDialog::requestImport(const LineImportResult &result)
{
    Q_EMIT importRequested(result);
}

} // namespace korvalo
