#include "platform/runtime/Error.h"

namespace platform {

Error::Error(ErrorCode code)
    : Error(code, describe(code))
{
}

Error::Error(ErrorCode code, QString description)
    : m_code(code)
    , m_description(std::move(description))
    , m_what(m_description.toUtf8())
{
}

const char* Error::what() const noexcept
{
    return m_what.constData();
}

QString Error::describe(ErrorCode code)
{
    switch (code) {
    case ErrorCode::InvalidProcedureCall:
        return QStringLiteral("无效的过程调用或参数");
    case ErrorCode::Overflow:
        return QStringLiteral("溢出");
    case ErrorCode::DivisionByZero:
        return QStringLiteral("除数为零");
    case ErrorCode::FileNotFound:
        return QStringLiteral("文件未找到");
    case ErrorCode::InputPastEnd:
        return QStringLiteral("输入超出文件尾");
    case ErrorCode::DeviceUnavailable:
        return QStringLiteral("设备不可用");
    case ErrorCode::PathFileAccess:
        return QStringLiteral("路径/文件访问错误");
    case ErrorCode::PathNotFound:
        return QStringLiteral("路径未找到");
    case ErrorCode::InvalidPropertyValue:
        return QStringLiteral("无效的属性值");
    case ErrorCode::NoSuchArrayElement:
        return QStringLiteral("控件数组元素不存在");
    case ErrorCode::ArrayElementExists:
        return QStringLiteral("对象已经加载");
    }
    return QStringLiteral("未知错误");
}

} // namespace platform
