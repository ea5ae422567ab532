#include "ui/library/libraryactivationalert.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

namespace LibraryActivationAlert {

CheckiTunesRingtoneFolderTool::ActivationFailure handler(QWidget* parent, std::function<void()> quit)
{
    QPointer<QWidget> owner(parent);
    return [owner, quit = std::move(quit)] {
        auto* box = new QMessageBox(QMessageBox::Warning, QString(),
            QStringLiteral("The main interface can not activate!"), QMessageBox::NoButton, owner.data());
        box->setObjectName(QStringLiteral("libraryActivationAlert"));
        box->setInformativeText(QStringLiteral("iTunes has not yet accessed in your computer, please activate iTunes "
                                               "first to relaunch the program"));
        box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box->setWindowModality(Qt::ApplicationModal);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, box, [quit] {
            if (quit)
                quit();
            else
                QCoreApplication::quit();
        });
        box->open();
    };
}

} // namespace LibraryActivationAlert
