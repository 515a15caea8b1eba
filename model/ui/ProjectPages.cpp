#include "framework/DialogTexts.h"
#include "model/ui/ProjectPages.h"

#include <wx/sizer.h>
#include <wx/utils.h>

#include "model/ProjectRequests.h"

ProjectFlags FlagBoxes::Read() const {
  ProjectFlags f;
  f.CoDeSysDP = dp->GetValue();
  f.CoDeSysDPChecksum = checksum->GetValue();
  f.CoDeSysDPCreate = create->GetValue();
  f.CoDeSysDPCreateCOM = com->GetValue();
  f.CoDeSysDPByteAddr = byteAddr->GetValue();
  return f;
}

void FlagBoxes::Show(const ProjectFlags& f) {
  dp->SetValue(f.CoDeSysDP != FALSE);
  checksum->SetValue(f.CoDeSysDPChecksum != FALSE);
  create->SetValue(f.CoDeSysDPCreate != FALSE);
  com->SetValue(f.CoDeSysDPCreateCOM != FALSE);
  byteAddr->SetValue(f.CoDeSysDPByteAddr != FALSE);
}

FlagBoxes CreateFlagBoxes(wxWindow* parent, wxBoxSizer* sizer, const ProjectFlags& flags) {
  FlagBoxes b;
  b.dp = new wxCheckBox(parent, 1002, DlgText(wxS("CoDeSys konforme Datenpunktnamen")));
  b.create = new wxCheckBox(parent, 1003, DlgText(wxS("CoDeSys Datenpunkte erzeugen")));
  b.checksum = new wxCheckBox(parent, 1004, DlgText(wxS("Checksumme DP Ressourcenabgleich anlegen")));
  b.com = new wxCheckBox(parent, 1005, DlgText(wxS("COM Datenpunkte erzeugen")));
  b.byteAddr = new wxCheckBox(parent, 1006, DlgText(wxS("Byte-Adressierung")));
  for (wxCheckBox* box : {b.dp, b.create, b.checksum, b.com, b.byteAddr}) sizer->Add(box, 0, wxLEFT | wxRIGHT | wxTOP, 10);
  b.Show(flags);
  return b;
}

