#include "testing/test_frame.h"

TestFrame::TestFrame(wxDocManager* manager)
    // Away from the screen's top left, where other tests capture their windows.
    : wxDocParentFrame(manager, nullptr, wxID_ANY, wxS("ToviFlash"), wxPoint(700, 100),
                       wxSize(800, 600)) {
    ribbon::LayoutInputs inputs;
    ribbon::BuildLayout(ribbon_, handles_, inputs);
}

void TestFrame::Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

TestFrame::Ui TestFrame::Update(int id) {
    wxUpdateUIEvent event(id);
    event.SetEventObject(this);
    Ui ui;
    ui.handled = ProcessWindowEvent(event);
    if (event.GetSetEnabled()) {
        ui.enabled = event.GetEnabled();
    }
    if (event.GetSetChecked()) {
        ui.checked = event.GetChecked();
    }
    return ui;
}
