#include "gui/dialogs/nodesexceldialog.h"

#include "gui/shell/asker.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace korvalo {

using namespace Qt::StringLiterals;

NodesExcelDialog::NodesExcelDialog(std::function<Asker &()> asker, ImportTargetProvider target, QWidget *parent)
    : SheetImportDialog(u"TFormNodesExcel"_s, u"Korvalo - Import Nodes from Excel"_s, std::move(asker),
                        std::move(target), parent)
{
    auto *nodeBox = new QGroupBox(u"Node Attributes"_s, this);
    auto *grid = new QGridLayout(nodeBox);
    int row = 0;
    m_id = columnList(u"ComboBox1"_s);
    addMappingRow(grid, row++, u"Node ID:"_s, m_id);
    m_label = columnList(u"ComboBox2"_s);
    addMappingRow(grid, row++, u"Label:"_s, m_label);
    m_role = columnList(u"ComboBox3"_s);
    addMappingRow(grid, row++, u"Role:"_s, m_role);
    m_sex = columnList(u"ComboBox12"_s);
    addMappingRow(grid, row++, u"Sex:"_s, m_sex, u"(female, male)"_s);

    m_human = columnList(u"ComboBox5"_s);
    m_notHuman = new QLineEdit(u"no"_s, this);
    m_notHuman->setObjectName(u"Edit1"_s);
    m_notHuman->setMaximumWidth(80);
    connect(m_notHuman, &QLineEdit::textChanged, this, &NodesExcelDialog::refresh);
    auto *humanRow = new QWidget(this);
    auto *humanLayout = new QHBoxLayout(humanRow);
    humanLayout->setContentsMargins(0, 0, 0, 0);
    humanLayout->addWidget(m_human, 1);
    humanLayout->addWidget(new QLabel(u"no = "_s, humanRow));
    humanLayout->addWidget(m_notHuman);
    addMappingRow(grid, row++, u"Human:"_s, humanRow);

    m_distance = columnList(u"ComboBox4"_s);
    m_dist = new QRadioButton(u"Dist"_s, this);
    m_dist->setObjectName(u"RadioButton1"_s);
    m_dist->setChecked(true);
    m_circles = new QRadioButton(u"Circles:"_s, this);
    m_circles->setObjectName(u"RadioButton2"_s);
    m_circleCount = new QSpinBox(this);
    m_circleCount->setObjectName(u"SpinEdit2"_s);
    m_circleCount->setRange(0, 100);
    m_circleCount->setValue(3);
    m_circleCount->setVisible(false);
    auto *distanceRow = new QWidget(this);
    auto *distanceLayout = new QHBoxLayout(distanceRow);
    distanceLayout->setContentsMargins(0, 0, 0, 0);
    distanceLayout->addWidget(m_distance, 1);
    distanceLayout->addWidget(m_dist);
    distanceLayout->addWidget(m_circles);
    distanceLayout->addWidget(m_circleCount);
    addMappingRow(grid, row++, u"Distance to Ego:"_s, distanceRow);
    // "Circles:" shows its spin box only while selected.
    connect(m_circles, &QRadioButton::toggled, this, [this](bool on) {
        m_circleCount->setVisible(on);
        refresh();
    });
    connect(m_circleCount, &QSpinBox::valueChanged, this, &NodesExcelDialog::refresh);

    m_groupSize = columnList(u"ComboBox6"_s);
    addMappingRow(grid, row++, u"Group Size:"_s, m_groupSize);
    m_color = columnList(u"ComboBox7"_s);
    addMappingRow(grid, row++, u"Color:"_s, m_color, u"(1-8)"_s);
    m_symbol = columnList(u"ComboBox8"_s);
    addMappingRow(grid, row++, u"Symbol:"_s, m_symbol, u"(none,flash,triangle,box,diamond)"_s);
    m_nodeSize = columnList(u"ComboBox9"_s);
    addMappingRow(grid, row++, u"Node Size:"_s, m_nodeSize, u"(normal, ...)"_s);
    m_memo1 = columnList(u"ComboBox10"_s);
    addMappingRow(grid, row++, u"Memo 1:"_s, m_memo1);
    m_memo2 = columnList(u"ComboBox11"_s);
    addMappingRow(grid, row++, u"Memo 2:"_s, m_memo2);

    auto *lineBox = new QGroupBox(u"Line Attributes between Ego and Alteri"_s, this);
    auto *lineGrid = new QGridLayout(lineBox);
    m_lineValue = columnList(u"ComboBox13"_s);
    addMappingRow(lineGrid, 0, u"Line Value"_s, m_lineValue, u"(0=none, 1-...)"_s);
    m_lineColor = columnList(u"ComboBox14"_s);
    addMappingRow(lineGrid, 1, u"Line Color:"_s, m_lineColor, u"(1-8)"_s);

    auto *mapping = new QVBoxLayout;
    mapping->addWidget(nodeBox);
    mapping->addWidget(lineBox);
    setMappingLayout(mapping);
    setColumns({});
}

void NodesExcelDialog::setColumns(const QStringList &headers)
{
    const QString autoItem = u"<auto>"_s, ignore = u"<ignore>"_s;
    const std::pair<QComboBox *, const QString *> lists[] = {
        {m_id, &autoItem},     {m_label, &autoItem},  {m_role, &ignore},     {m_sex, &ignore},
        {m_human, &ignore},    {m_distance, &autoItem}, {m_groupSize, &ignore}, {m_color, &ignore},
        {m_symbol, &ignore},   {m_nodeSize, &ignore}, {m_memo1, &ignore},    {m_memo2, &ignore},
        {m_lineValue, &ignore}, {m_lineColor, &ignore}};
    for (const auto &[list, first] : lists)
        fillColumnList(list, headers, *first);
}

NodeImportOptions NodesExcelDialog::options() const
{
    NodeImportOptions o;
    o.rowsToIgnore = rowsToIgnore();
    // The position in a list is the column number; 0 is "<auto>" or "<ignore>".
    o.id = m_id->currentIndex(), o.label = m_label->currentIndex(), o.role = m_role->currentIndex();
    o.sex = m_sex->currentIndex(), o.human = m_human->currentIndex(), o.distance = m_distance->currentIndex();
    o.groupSize = m_groupSize->currentIndex(), o.color = m_color->currentIndex(), o.symbol = m_symbol->currentIndex();
    o.nodeSize = m_nodeSize->currentIndex(), o.memo1 = m_memo1->currentIndex(), o.memo2 = m_memo2->currentIndex();
    o.lineValue = m_lineValue->currentIndex(), o.lineColor = m_lineColor->currentIndex();
    o.notHumanText = m_notHuman->text();
    o.circleMode = m_circles->isChecked();
    o.circles = m_circleCount->value();
    o.decimalSeparator = target().decimalSeparator;
    return o;
}

std::optional<NodeImportResult> NodesExcelDialog::compute(QString *refusal) const
{
    const Sheet *s = sheet();
    if (!s)
        return std::nullopt;
    const ImportTarget t = target();
    const NetworkCard none;
    if (!t.card && t.cardCount > 0)
        *refusal = u"No network card is chosen: choose the card to add the nodes to in the card list."_s;
    else if (!t.card)
        *refusal = u"The ego has no network card yet: add one with Ego > New Network Card."_s;
    for (QComboBox *list : {m_id, m_label, m_role, m_sex, m_human, m_distance, m_groupSize, m_color, m_symbol,
                            m_nodeSize, m_memo1, m_memo2, m_lineValue, m_lineColor}) {
        if (list->currentIndex() < 0)
            return std::nullopt;
    }
    return ImportNodes(*s, table(), options(), t.card ? *t.card : none);
}

void NodesExcelDialog::showPreview(const NodeImportResult &result, const QString &refusal)
{
    std::vector<QStringList> rows;
    std::vector<int> sheetRows;
    const int first = table().firstRow + rowsToIgnore();
    // The ego's lines point at the nodes as they will be numbered on the card.
    const int base = target().card ? target().card->NodeCount() : 0;
    std::vector<QString> lineOf(result.nodes.size());
    for (const Line &l : result.lines) {
        const int k = l.B - base - 1;
        if (k >= 0 && size_t(k) < lineOf.size())
            lineOf[size_t(k)] = QStringLiteral("%1 (colour %2)").arg(l.LineSize).arg(l.LineColor);
    }
    for (size_t k = 0; k < result.nodes.size(); ++k) {
        const Node &n = result.nodes[k];
        const QString &line = lineOf[k];
        rows.push_back({n.ID, n.Label, QString::number(n.Distance, 'g', 4), QString::number(n.Angle), n.Sex, n.Human,
                        QString::number(n.Size), QString::number(n.Color), n.Symbol, n.NodeSize, n.Role, n.Memo1,
                        n.Memo2, line});
        sheetRows.push_back(first + int(k));
    }
    QString summary = summaryOf(result, refusal,
                                QStringLiteral("%1 node(s) and %2 line(s) will be added.")
                                    .arg(result.nodes.size())
                                    .arg(result.lines.size()));
    if (result.projectOutmost && result.ok())
        summary += u" A distance beyond 1.2: the card will be projected to fit (Outmost Node)."_s;
    fillPreview({u"Node ID"_s, u"Label"_s, u"Distance"_s, u"Angle"_s, u"Sex"_s, u"Human"_s, u"Group Size"_s,
                 u"Color"_s, u"Symbol"_s, u"Node Size"_s, u"Role"_s, u"Memo 1"_s, u"Memo 2"_s, u"Line"_s},
                rows, sheetRows, result, summary);
}

void NodesExcelDialog::requestImport(const NodeImportResult &result)
{
    Q_EMIT importRequested(result);
}

} // namespace korvalo
