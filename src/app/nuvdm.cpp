#include "app/nuvdm.h"

namespace rirevar {

TDM1::TDM1()
    : ClientDataSet1("select m_id,flag,state.name,mailfrom,date,subject,body,"
                     "size,state.s_id from mail,state where mail.s_id=state.s_id and d_id=0"),
      ClientDataSet2("select u_id,d_id,name,kana,company,belong,zip,address,tel,fax,email,homepage,memo "
                     "from address where d_id=0 order by kana") {
  setObjectName("DM1");
}

}  // namespace rirevar
