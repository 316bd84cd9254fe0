#pragma once

#include <wx/string.h>

#include "lists/list_items.h"

// The texts of the three capacity panels and of the list information boxes.
namespace capacity_texts {

struct ListIds {
    int slider;
    int info;
    int clear;
    int rangeMax;  // the slider's upper bound
};
ListIds IdsOf(ListKind list);
// The list a slider, information or clear id belongs to.
ListKind ListOfCommand(int id);

// "记录历史:[ %d ]个文件" and its kin, with the capacity.
wxString LabelText(ListKind list, int capacity);
wxString ToolTip(ListKind list);
// With the range's upper bound.
wxString Description(ListKind list);
// The information box: its lines with the count and capacity at the moment.
wxString InformationText(ListKind list, int count, int capacity);

// The question before a list is emptied (the trailing space belongs to it).
inline constexpr const wchar_t* kClearQuestion = L"清空后不能恢复 是否继续? ";

}  // namespace capacity_texts
