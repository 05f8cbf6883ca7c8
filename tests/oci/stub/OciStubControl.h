#pragma once
// The control surface of the test-only OCI stub library (looked up with dlsym by the tests).

extern "C" {
void stub_reset();
// Every later call of name returns status; "OCIAttrGet#5" forces OCIAttrGet of attribute 5 only
// (and "OCIAttrSet#11" OCIAttrSet of attribute 11).
void stub_force(const char* name, int status);
// What OCIErrorGet reports.
void stub_set_error(int code, const char* text);
// Names of the calls made since the last reset, one per line.
const char* stub_calls();
int stub_count(const char* name);
void stub_add_column(int type, int size, int precision, int scale, int form, const char* name);
void stub_set_rows(int rows);
void stub_set_stmt_type(int type);
const char* stub_last_logon();
const char* stub_binds();
const char* stub_defines();
int stub_last_iters();
const char* stub_last_prepared();
// OCI_ATTR_CHAR_SIZE of column index (0-based) of the describe.
void stub_set_char_size(int column, int chars);
// Attribute numbers passed to OCIAttrSet since the last reset, one per line.
const char* stub_attr_sets();
// OCI_NLS_CHARSET_MAXBYTESZ as OCINlsNumericInfoGet reports it (0: the call fails).
void stub_set_max_bytes(int bytes);
// Every fetch reports the define at position (1-based) truncated: status 1, indicator > 0.
void stub_truncate(int position);
}
