#pragma once
// Identifiers of the window-layer tests' own dialog templates (WinTest.rc), numbered away
// from the program's resources, which every test binary links as well.
#define IDD_TEST_FIELDS 9001
#define IDD_TEST_MODAL 9002
#define IDD_TEST_PAGE 9003

#define IDC_FIELD_NAME 9101
#define IDC_FIELD_SIZE 9102
#define IDC_FIELD_RETRY 9103
#define IDC_FIELD_TAG 9104
#define IDC_FIELD_OFFSET 9105
#define IDC_FIELD_BATCH 9106

#define IDC_PAGE_FIRST 9201
#define IDC_PAGE_SECOND 9202
#define IDC_PAGE_GO 9203
