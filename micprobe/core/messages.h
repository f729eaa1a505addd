// The engine's own failure texts. MicProbe's narrow literals are compiled to GBK, so these reach
// lastError (and through it the caller's ProbeError) in code page 936.
#pragma once

namespace micprobe::text {

// Blocks and wave input.
inline constexpr const char kOutOfMemory[] = "内存不足!";
inline constexpr const char kOpenMicrophone[] = "打开麦克风失败";
inline constexpr const char kPrepareInput[] = "准备数据缓冲区失败！";
inline constexpr const char kAddInput[] = "添加缓冲区到队列失败！";
inline constexpr const char kStartInput[] = "开始记录麦克风数据失败";
inline constexpr const char kUnprepareInput[] = "解锁定数据失败";
inline constexpr const char kResetInput[] = "重置输入失败!";
inline constexpr const char kCloseInput[] = "关闭指定的波形输入设备失败!";

// Wave output.
inline constexpr const char kOpenSpeaker[] = "未检测到或扬声器已损坏，打开扬声器失败";
inline constexpr const char kPrepareOutput[] = "准备输出缓冲区失败!";
inline constexpr const char kUnprepareOutput[] = "解锁定数据失败!";

// Recording-source selection on the mixer.
inline constexpr const char kNoDestinationLine[] = "启用时无法获取目标行!";
inline constexpr const char kSelectOutOfMemory[] = "启用线路时内存不足!";

}  // namespace micprobe::text
