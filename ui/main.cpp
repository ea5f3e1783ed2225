#include "platform/window/forms.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
  velsona::platform::Application application(argc, argv);
  velsona::ui::Form1 form;
  form.Show();
  return application.Run();
}
