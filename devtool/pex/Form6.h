#pragma once
// The image build window: edits the project's image settings (title, program,
// image, icon), saves them into the project file and runs the packer.
#include "Window.h"

#include <string>

class Form6 : public Window {
public:
    Form6();
    void Show(HWND owner);
    // Writes the four settings into section PEX, the paths relative to the
    // project's folder.
    void Save_Pex();

protected:
    void Form_Load() override;

private:
    static const Control Controls[];

    void Command1_Click(int index);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

    TextBox Text1;
    TextBox Text2[3];
};
