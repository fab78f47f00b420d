#include "app/startup.h"

#include "address/nuvaddress.h"
#include "address/nuvinputad.h"
#include "app/nuvdb.h"
#include "app/nuvdm.h"
#include "app/rirevar1.h"
#include "compose/nuvmeg.h"
#include "compose/nuvteikei.h"
#include "mainwin/nuvcoledit.h"
#include "mainwin/nuvfind.h"
#include "mainwin/nuvfont.h"
#include "mainwin/nuvinput.h"
#include "mainwin/nuvmemo.h"
#include "mainwin/nuvnew.h"
#include "mainwin/nuvpopup.h"
#include "mainwin/nuvsmtp.h"
#include "receive/nuvpop.h"

namespace rirevar {

namespace {
template <typename T>
void Release(T*& instance) {
  delete instance;
  instance = nullptr;
}
}  // namespace

void CreateWindows() {
  DM1 = new TDM1;
  FrmNuv = new TFrmNuv;
  FrmMemo = new TFrmMemo;
  FrmMeg1 = new TFrmMeg1;
  FrmAddress = new TFrmAddress;
  FrmInputAd = new TFrmInputAd;
  FrmFont = new TFrmFont;
  FrmPop = new TFrmPop;
  FrmNew = new TFrmNew;
  FrmSmtp = new TFrmSmtp;
  FrmColEdit = new TFrmColEdit;
  FrmFind = new TFrmFind;
  FrmTeikei = new TFrmTeikei;
  FrmDb = new TFrmDb;
  FrmInput = new TFrmInput;
  FrmPopup = new TFrmPopup;
}

void DestroyWindows() {
  Release(FrmPopup);
  Release(FrmInput);
  Release(FrmDb);
  Release(FrmTeikei);
  Release(FrmFind);
  Release(FrmColEdit);
  Release(FrmSmtp);
  Release(FrmNew);
  Release(FrmPop);
  Release(FrmFont);
  Release(FrmInputAd);
  Release(FrmAddress);
  Release(FrmMeg1);
  Release(FrmMemo);
  Release(FrmNuv);
  Release(DM1);
}

}  // namespace rirevar
