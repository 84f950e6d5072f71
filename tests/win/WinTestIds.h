#pragma once
// Identifiers of the window-layer tests' own dialog templates (WinTest.rc), numbered away
// from the program's resources, which every test binary links as well.
#define IDD_TEST_MODAL 9002
#define IDD_TEST_PAGE 9003

#define IDC_PAGE_FIRST 9201
#define IDC_PAGE_SECOND 9202
#define IDC_PAGE_GO 9203
