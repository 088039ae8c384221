#pragma once

#include <QWidget>

namespace korvalo {

// The version history.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *parent = nullptr);
};

} // namespace korvalo
