// The program's version and names in one place: the version resource, the build's version
// number and the installer's uninstall entry all read them from here.
#pragma once

#define VANTOR_VERSION_MAJOR 1
#define VANTOR_VERSION_MINOR 0
#define VANTOR_VERSION_PATCH 12
#define VANTOR_VERSION_BUILD 1224

#define VANTOR_COMPANY_NAME "Vantor 工具组"
#define VANTOR_PRODUCT_NAME "Vantor 应用程序"
#define VANTOR_FILE_DESCRIPTION "Orbel PKI 初始化工具"
#define VANTOR_COPYRIGHT "版权所有 (C) 2012 Vantor 工具组"
// The same names in English, for the version resource's English block.
#define VANTOR_COMPANY_NAME_EN "Vantor Tools Group"
#define VANTOR_PRODUCT_NAME_EN "Vantor Application"
#define VANTOR_FILE_DESCRIPTION_EN "Orbel PKI Token Initialiser"
#define VANTOR_COPYRIGHT_EN "Copyright (C) 2012 Vantor Tools Group"
