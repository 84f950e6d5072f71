#pragma once
// The texts an operator reads, written out here rather than taken from the string table, so
// that a wrong entry in the table fails the tests. The one list for every test.
#include <string>

namespace msg {
inline const std::wstring kLoadModuleFailed = L"加载运行时库失败，请检查运行时环境是否安装正确！";   // 105
inline const std::wstring kInitModuleFailed = L"初始化运行时库失败，清检查运行时环境是否安装正确！"; // 106
inline const std::wstring kInsertAndStart = L"请插入USBKey并点击初始化按钮进行初始化";               // 107
inline const std::wstring kOneTokenOnly = L"一次只能对一支USBKey进行操作，请移除多余的USBKey";       // 108
inline const std::wstring kBlankDone = L"初始化为空锁成功，请更换USBKey";                            // 109
inline const std::wstring kSoPinWrong = L"管理员PIN错误";                                            // 111
inline const std::wstring kUnknownError = L"未知错误";                                               // 112
inline const std::wstring kInsertToken = L"请插入USBKey";                                            // 113
inline const std::wstring kPkiDone = L"初始化为PKI应用成功，请更换USBKey";                           // 114
inline const std::wstring kNoDeviceInfo = L"无法获取设备信息";                                       // 119
inline const std::wstring kAlreadyBlank = L"已经是空锁类型了";                                       // 120
inline const std::wstring kEncryptionLock = L"该锁为加密锁类型，无法进行初始化";                     // 121
inline const std::wstring kUnknownType = L"设备类型未知，无法进行初始化";                            // 122
inline const std::wstring kInitialising = L"正在初始化，请稍候...";                                  // 123
inline const std::wstring kPinLength = L"PIN长度不正确，请输入4-32个字符。";                         // 124
inline const std::wstring kLabelLength = L"名称长度不在有效的范围内(一个中文等于三个字符计算 )";     // 125
inline const std::wstring kFinalTryBatch = L"管理员PIN只剩最后一次尝试机会，批量模式下不尝试";       // 135
inline const std::wstring kCancelled = L"已取消";                                                    // 137
inline const std::wstring kBatchStopped = L"，批量已停止，请核对管理员PIN"; // 138, after the wrong-PIN text
inline const std::wstring kNotInStock = L"该锁不在本批清单中";              // 139
inline const std::wstring kEnvelopeNotWritten = L"未能写入PIN信封，该锁未被改动"; // 191
inline const std::wstring kSealCertificateNeeded = L"请先选择PIN信封证书";        // 192
} // namespace msg
