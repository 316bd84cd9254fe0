#include "testing/test_frame.h"

TestFrame::TestFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, wxS("ToviFlash"), wxDefaultPosition,
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
