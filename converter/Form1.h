#pragma once
// The converter's one window: a path box, typed into or dropped on, and the
// convert button. The program ends when it is closed.
#include "FileDrop.h"
#include "Window.h"

#include <string>

class Form1 : public Window {
public:
    Form1();

    // Loads the window and runs it until the user closes it; at once when the
    // load step finds the system unfit. A file named on the command line (a
    // file dropped on the program's icon) fills the box as a drop would.
    void Show(const std::wstring& commandLineFile);

    // Converts VtpPath into its host project file; true when every write went
    // through. A stopped conversion has been reported to the user.
    bool Open_Project3();

protected:
    void Form_Load() override;
    void Form_Unload() override;

private:
    static const Control Controls[];

    void Form_OLEDragDrop(const std::wstring& firstFile);
    void Text1_OLEDragDrop(const std::wstring& firstFile);
    void Command1_Click();

    TextBox Text1;
    FileDropTarget formDrop_;
    FileDropTarget text1Drop_;

    std::wstring VtpPath;  // the last path that passed the first check
    std::wstring VtpDir;   // its folder, set once the user has confirmed
};
