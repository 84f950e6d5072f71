#pragma once
// Identifiers of the string table (res/strings.inc). Usable from C++ and the resource script.

#define IDS_ABOUTBOX 101
#define IDS_NAV_WIPE 102
#define IDS_NAV_PKI 103
#define IDS_NAV_INFO 104
#define IDS_LOAD_MODULE_FAILED 105
#define IDS_INIT_MODULE_FAILED 106
#define IDS_INSERT_AND_START 107
#define IDS_ONE_TOKEN_ONLY 108
#define IDS_WIPE_DONE 109
#define IDS_SO_PIN_WRONG 111
#define IDS_UNKNOWN_ERROR 112
#define IDS_INSERT_TOKEN 113
#define IDS_PKI_DONE 114
#define IDS_APP_TITLE 115
#define IDS_TYPE_BLANK 116
#define IDS_TYPE_ENCRYPTION_LOCK 117
#define IDS_TYPE_PKI 118
#define IDS_NO_DEVICE_INFO 119
#define IDS_ALREADY_BLANK 120
#define IDS_ENCRYPTION_LOCK 121
#define IDS_UNKNOWN_TYPE 122
#define IDS_INITIALISING 123
#define IDS_PIN_LENGTH 124
#define IDS_LABEL_LENGTH 125
// Read-back after an initialisation and the SO PIN guard before a wipe.
#define IDS_PKI_VERIFY_FAILED 126
#define IDS_VERIFY_LABEL 127
#define IDS_VERIFY_NOT_INITIALISED 128
#define IDS_VERIFY_USER_PIN_UNSET 129
#define IDS_VERIFY_USER_LOGIN 130
#define IDS_VERIFY_SO_LOGIN 131
#define IDS_NOT_VERIFIED 132
#define IDS_WIPE_VERIFY_FAILED 133
#define IDS_SO_PIN_LOCKED 134
#define IDS_SO_PIN_FINAL_TRY_BATCH 135
#define IDS_SO_PIN_FINAL_TRY_QUESTION 136
#define IDS_CANCELLED 137
#define IDS_BATCH_STOPPED_SO_PIN 138
// A token off the stock list in force, refused before anything is written to it.
#define IDS_NOT_IN_STOCK 139
// The standard path, for modules without the vendor extension.
#define IDS_STD_PIN_PAD 150
#define IDS_STD_PIN_LIMITS 151
#define IDS_STD_CURRENT_SO_PIN 152
#define IDS_STD_NO_LIMITS 153
#define IDS_STD_NOT_AVAILABLE 154
#define IDS_STD_YES 155
#define IDS_STD_NO 156
#define IDS_STD_WIPE_VERIFY_FAILED 157
#define IDS_STD_USER_PIN_LEFT 158
#define IDS_STD_OBJECTS_LEFT 159
#define IDS_STD_TOKEN_LOST 160
// The module picked in the window.
#define IDS_MODULE_RUN_ACTIVE 161
#define IDS_MODULE_NOT_SAVED 162
// The station: every present token handled at once.
#define IDS_TIMED_OUT 170
#define IDS_STATION_NO_RESULT 171
#define IDS_STATION_WAITING 172
#define IDS_STATION_VERIFYING 173
#define IDS_STATION_STOPPED_SO_PIN 174
#define IDS_STATION_EMPTY 175
#define IDS_STATION_NO_SERIAL 176
// The station page: every token present handled at once, one tile per slot.
#define IDS_NAV_STATION 180
#define IDS_TILE_WAITING 181
#define IDS_TILE_WORKING 182
#define IDS_TILE_VERIFYING 183
#define IDS_TILE_DONE 184
#define IDS_TILE_SLOT 185
#define IDS_STATION_READY 186
#define IDS_STATION_RUNNING 187
#define IDS_STATION_TAKING_ENDED 188
#define IDS_STATION_FINISHED 189
#define IDS_STATION_NO_CHILD 190
// A user PIN of its own for each token, sealed to the supervisor's certificate.
#define IDS_ENVELOPE_NOT_WRITTEN 191
#define IDS_SEAL_CERTIFICATE_NEEDED 192
// Composed into status texts: a result's code, the ledger's notes, the PIN envelope's file.
#define IDS_RESULT_CODE 240
#define IDS_LEDGER_NOT_WRITTEN 241
#define IDS_LEDGER_DUPLICATE 242
#define IDS_LEDGER_DAMAGED 243
#define IDS_ENVELOPE_NOTE 244
