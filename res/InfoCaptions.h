#pragma once
// The information page's captions, for its dialog template and for the console's information
// lines. Narrow UTF-8 literals: C++ takes them wide as L"" VANTOR_CAPTION_SERIAL.
#define VANTOR_CAPTION_SERIAL "硬件序列号："
#define VANTOR_CAPTION_COS_VERSION "COS版本："
#define VANTOR_CAPTION_PRODUCTION_TIME "生产日期："
#define VANTOR_CAPTION_TOTAL_SPACE "锁总空间（字节）："
#define VANTOR_CAPTION_ATR "ATR（16进制值）："
#define VANTOR_CAPTION_DEVICE_TYPE "当前硬件类型："
// The token information of a module without the vendor extension.
#define VANTOR_CAPTION_STD_SLOT "读卡器："
#define VANTOR_CAPTION_STD_SERIAL "序列号："
#define VANTOR_CAPTION_STD_MAKER "制造商："
#define VANTOR_CAPTION_STD_MODEL "型号："
#define VANTOR_CAPTION_STD_HARDWARE "硬件版本："
#define VANTOR_CAPTION_STD_FIRMWARE "固件版本："
#define VANTOR_CAPTION_STD_LABEL "名称："
#define VANTOR_CAPTION_STD_TOTAL "总空间（字节）："
#define VANTOR_CAPTION_STD_FREE "可用空间（字节）："
#define VANTOR_CAPTION_STD_INITIALISED "已初始化："
