#pragma once
// Identifiers of the controls tests' own resources (ControlsTest.rc), numbered away from the
// program's resources, which every test binary links as well.
#define IDI_TEST_ORANGE 9131
#define IDI_TEST_GREEN 9132
#define IDI_TEST_PURPLE 9138
#define IDI_TEST_ORANGE_IMAGE 9701
#define IDI_TEST_GREEN_IMAGE 9702
#define IDI_TEST_PURPLE_IMAGE 9703

#define IDD_TEST_LABELS 9501
#define IDC_LABEL_STATUS 9601
#define IDC_LABEL_COUNT 9602
#define IDC_LABEL_NOTE 9603
