// The report object and its viewer: binding to the page view's document, and the caret and
// header/footer editing commands.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

using namespace richtext;

bool clsReport::InitializeReportForm(richtext::TerHwnd viewer) {
  constexpr const char* kTitle = "clsReport.InitializeReportForm()";
  if (TerEditor(viewer) == nullptr) {
    modpublic::ShowError("Wrong control type: no document view " + vb::CStr(static_cast<long>(viewer)),
                         ui::kExclamation, kTitle);
    return false;
  }
  bool ok = false;
  modpublic::RunGuarded(kTitle, "", ui::kExclamation, [&] {
    if (m_OwnsDocument && viewer != m_TerHwnd) TerDestroyWindow(m_TerHwnd);
    m_TerHwnd = viewer;
    m_OwnsDocument = false;
    m_DefaultFontName = "Arial";
    m_DefaultFontSize = m_DefaultFontSize2 = 9.0;
    // Page mode after the new document, which starts with the editor's toggles off.
    ok = InitReportDocument(1, true) && SetPageDimensions();
    pOCMSELECT(kCmdPageMode, true);
  });
  return ok;
}

void clsReport::InsertBreak(int32_t kind) {
  if (TerEditor(m_TerHwnd) == nullptr) return;
  TerSetCaretPos(m_TerHwnd, kCaretEnd);
  switch (kind) {
    case 0:
    case 1: {
      TerSectBreak(m_TerHwnd, false);
      int32_t columns = 0, spacing = 0, newPage = kind == 1 ? 1 : 0, orientation = 0;
      TerGetSectInfo(m_TerHwnd, columns, spacing, newPage, orientation);
      TerSetSect2(m_TerHwnd, columns, spacing, newPage, orientation, -1, -1);
      break;
    }
    case 2:
      TerPageBreak(m_TerHwnd, false);
      break;
    case 3:
      TerColBreak(m_TerHwnd, false);
      break;
    default:
      break;
  }
}

void clsReport::EditHeader(bool edit, bool fromBody) {
  EditHdrFtr(static_cast<int16_t>(kHdrFtrHeader), edit, fromBody);
}

void clsReport::EditFooter(bool edit, bool fromBody) {
  EditHdrFtr(static_cast<int16_t>(kHdrFtrFooter), edit, fromBody);
}

void clsReport::EditHdrFtr(int16_t kind, bool edit, bool fromBody) {
  if (edit) {
    if (fromBody) GoToBodyStart();
    TerFields fields;
    GetTerFields(m_TerHwnd, fields);
    TerPosHdrFtrEx(m_TerHwnd, m_SeqSect, kind, 1, false);
    return;
  }
  pOCMSELECT(kCmdReturnToBody, true);
  TerPosBodyText(m_TerHwnd, m_SeqSect, 1, false);
  TerSetCaretPos(m_TerHwnd, kCaretEnd);
  pOCMSELECT(kCmdReturnToBody, false);
}

bool clsReport::CommonHdr() {
  return modpublic::RunGuarded(ErrorSource("CommonHdr"), "", ui::kExclamation, [&] {
    EditHeader(true, false);
    CommonHdrHook();
    EditHeader(false, true);
  });
}

bool clsReport::CommonFtr() {
  return modpublic::RunGuarded(ErrorSource("CommonFtr"), "", ui::kExclamation, [&] {
    EditFooter(true, false);
    CommonFtrHook();
    EditFooter(false, false);
  });
}

void clsReport::GoToBodyStart() {
  TerPosBodyText(m_TerHwnd, 0, 0, false);
  TerPosPage(m_TerHwnd, 0);
}

bool clsReport::IsTerCommandChecked(int32_t command) { return TerMenuSelect(m_TerHwnd, command) == kMenuChecked; }
