#include "WindowsRegistry.h"

#ifdef Q_OS_WIN

#include <QByteArray>
#include <qt_windows.h>

namespace vor4 {

namespace {

class WindowsKey final : public RegistryKey
{
public:
    explicit WindowsKey(HKEY key) : m_key(key) {}
    ~WindowsKey() override { RegCloseKey(m_key); }
    WindowsKey(const WindowsKey &) = delete;
    WindowsKey &operator=(const WindowsKey &) = delete;

    std::optional<RegistryValue> queryValue(const QString &name) const override
    {
        const QByteArray valueName = name.toLocal8Bit();
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(m_key, valueName.constData(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        RegistryValue value;
        value.type = type;
        value.dataSize = size;
        // The value may grow between asking for its size and reading it.
        for (int attempt = 0; attempt < 3 && size > 0; ++attempt) {
            // One byte more than asked: string data need not end in NUL.
            QByteArray data(qsizetype(size) + 1, '\0');
            DWORD got = size;
            const LONG rc = RegQueryValueExA(m_key, valueName.constData(), nullptr, &type,
                                             reinterpret_cast<BYTE *>(data.data()), &got);
            if (rc == ERROR_MORE_DATA) {
                size = got;
                continue;
            }
            if (rc != ERROR_SUCCESS)
                return std::nullopt;
            value.type = type;
            value.dataSize = got;
            if (type == REG_SZ || type == REG_EXPAND_SZ)
                value.text = QString::fromLocal8Bit(data.constData(), qsizetype(qstrnlen(data.constData(), got)));
            return value;
        }
        return size > 0 ? std::nullopt : std::optional<RegistryValue>(value);
    }

private:
    HKEY m_key;
};

} // namespace

std::unique_ptr<RegistryKey> WindowsRegistry::openLocalMachineKey(const QString &path) const
{
    const QByteArray subKey = path.toLocal8Bit();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.constData(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<WindowsKey>(key);
}

} // namespace vor4

#endif
