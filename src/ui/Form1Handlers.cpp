// Stand-in handler bodies; each command replaces its own.
#include "ui/Form1.h"

namespace ombrel {

bool Form1::formLoad() { return true; }

void Form1::List1_Click() {}
void Form1::f1_Click() {}
void Form1::Image4_Click() {}
void Form1::Command9_Click() {}
void Form1::Command1_Click() {}
void Form1::f2_Click() {}
void Form1::Image1_Click() {}
void Form1::Command7_Click() {}
void Form1::Command3_Click() {}
void Form1::f3_Click() {}
void Form1::Image2_Click() {}
void Form1::Command8_Click() {}
void Form1::Command4_Click() {}
void Form1::Command5_Click() {}
void Form1::Command6_Click() {}
void Form1::Image3_Click() {}
void Form1::Command2_Click() {}
void Form1::om4_Click() {}
void Form1::Command10_Click() {}
void Form1::om1_Click() {}
void Form1::om7_Click() {}
void Form1::clr_Click(int) {}
void Form1::Command11_Click() {}
void Form1::Image4_MouseMove() {}
void Form1::Image1_MouseMove() {}
void Form1::Image2_MouseMove() {}
void Form1::Image3_MouseMove() {}
void Form1::Frame3_MouseMove() {}
void Form1::om2_Click() {}
void Form1::om5_Click() {}
void Form1::h1_Click() {}

}  // namespace ombrel
