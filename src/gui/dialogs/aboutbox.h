#pragma once

#include <QDialog>

namespace korvalo {


// The About box: a picture, the version and the product's web address.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
};

} // namespace korvalo
