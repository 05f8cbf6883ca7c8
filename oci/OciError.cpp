#include "oci/OciError.h"

namespace tabrook {

ErrorAction ActionOf(sword status, sb4 oracleCode) {
    switch (status) {
        case OCI_SUCCESS: return ErrorAction::None;
        case OCI_SUCCESS_WITH_INFO: return ErrorAction::Warning;
        case OCI_NO_DATA: return ErrorAction::NoData;
        default: break;
    }
    switch (oracleCode) {
        case 28:     // your session has been killed
        case 1012:   // not logged on
        case 1092:   // instance terminated, disconnection forced
        case 3113:   // end-of-file on communication channel
        case 3114:   // not connected to Oracle
        case 3135:   // connection lost contact
        case 12537:  // TNS: connection closed
        case 12547:  // TNS: lost contact
        case 12570:  // TNS: packet reader failure
        case 12571:  // TNS: packet writer failure
            return ErrorAction::Reconnect;
        default: return ErrorAction::Fail;
    }
}

}  // namespace tabrook
