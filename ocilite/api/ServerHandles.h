#pragma once
// The handles of the attach-then-begin logon and of OCIDescribeAny:
//  - OCIServer remembers the database OCIServerAttach named;
//  - OCISession carries the user name and password set as attributes, for OCISessionBegin;
//  - OCIDescribe owns the description OCIDescribeAny made: the object's parameter, its
//    column list and one parameter per column.

#include <memory>
#include <string>
#include <vector>

#include "ocilite/api/HandleBase.h"
#include "ocilite/api/ParamDescriptor.h"

struct OCIServer : ocilite::api::HandleBase {
    OCIServer() : HandleBase(OCI_HTYPE_SERVER) {}
    std::string database;
    bool attached = false;
    std::string empty;  // the attributes with no value (OCI_ATTR_DBDOMAIN)
};

struct OCISession : ocilite::api::HandleBase {
    OCISession() : HandleBase(OCI_HTYPE_SESSION) {}
    std::string userName;
    std::string password;
    // The context whose session this is (OCISessionBegin, OCI_ATTR_SESSION), for what the
    // session attributes report; and the text the last of them handed out.
    OCISvcCtx* service = nullptr;
    std::string shown;
};

struct OCIDescribe : ocilite::api::HandleBase {
    OCIDescribe() : HandleBase(OCI_HTYPE_DESCRIBE) {}
    std::unique_ptr<OCIParam> object;      // OCI_PTYPE_TABLE or OCI_PTYPE_VIEW
    std::unique_ptr<OCIParam> columnList;  // OCI_PTYPE_LIST
    std::vector<std::unique_ptr<OCIParam>> columns;
};
