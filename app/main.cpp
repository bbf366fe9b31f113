#include "app/app_windows.h"
#include "app/main_form.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    std::unique_ptr<TMainForm> mainForm = CreateAppWindows(TStartEnvironment::FromApplication());
    mainForm->show();
    return QApplication::exec();
}
