#pragma once
// The information page's captions, for its dialog template and for the console's information
// lines. Narrow UTF-8 literals: C++ takes them wide as L"" VANTOR_CAPTION_SERIAL.
#define VANTOR_CAPTION_SERIAL "硬件序列号："
#define VANTOR_CAPTION_COS_VERSION "COS版本："
#define VANTOR_CAPTION_PRODUCTION_TIME "生产日期："
#define VANTOR_CAPTION_TOTAL_SPACE "锁总空间（字节）："
#define VANTOR_CAPTION_ATR "ATR（16进制值）："
#define VANTOR_CAPTION_DEVICE_TYPE "当前硬件类型："
