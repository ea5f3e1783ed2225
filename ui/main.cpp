#include "platform/window/forms.h"
#include "ui/form1.h"

int main(int argc, char** argv) {
  velsona::platform::Application application(argc, argv, velsona::ui::Form1::kIconPath);
  velsona::ui::Form1 form(application.Regional());
  form.Show();
  return application.Run();
}
