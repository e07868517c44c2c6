#include "app/form1.h"
#include "platform/paths.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flaskbook"));

    Form1 window(Paths::standard());
    window.show();
    return QApplication::exec();
}
