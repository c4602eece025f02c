#include "app/frmMain.h"
#include "platform/desktop/Application.h"

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    app::frmMain form;
    form.Show();
    return application.Run();
}
