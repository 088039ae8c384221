#include "gui/dialogs/aboutbox.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/artwork.h"

#include <QLabel>
#include <QVBoxLayout>

namespace korvalo {


using namespace Qt::StringLiterals;

AboutBox::AboutBox(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TFormAbout"_s, u"About"_s);

    auto *picture = new QLabel(this);
    picture->setPixmap(NetworkPicture(240, 160));
    picture->setAlignment(Qt::AlignCenter);

    auto *version = new QLabel(QStringLiteral("Version: " KORVALO_VERSION), this);
    version->setObjectName(u"Label1"_s);
    version->setAlignment(Qt::AlignCenter);
    version->setAutoFillBackground(true);
    QPalette pal = version->palette();
    pal.setColor(QPalette::Window, QColor(235, 235, 235));
    version->setPalette(pal);

    // QLabel opens the link with the desktop's default handler.
    const QString address = u"https://korvalo.example.org"_s;
    auto *link = new QLabel(u"<a href=\"%1\">%1</a>"_s.arg(address), this);
    link->setObjectName(u"Label2"_s);
    link->setAlignment(Qt::AlignCenter);
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(version);
    layout->addWidget(link);
}

} // namespace korvalo
