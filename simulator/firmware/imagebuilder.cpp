#include "imagebuilder.h"

namespace {

void PutU32(QByteArray &out, int at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((value >> (8 * i)) & 0xFF);
}

uint32_t Sum(const QByteArray &bytes)
{
    uint32_t sum = 0;
    for (char c : bytes)
        sum += uint8_t(c);
    return sum;
}

} // namespace

QByteArray ImageBuilder::Metadata(uint16_t vid, uint16_t pid, const QByteArray &version,
                                  const QByteArray &model)
{
    return "[METADATA]\nMODEL=" + model + "\nVID=0x" +
           QByteArray::number(vid, 16).rightJustified(4, '0') + "\nPID=0x" +
           QByteArray::number(pid, 16).rightJustified(4, '0') +
           "\nPRODUCT=\"Vexalon\"\nMANUFACTURER=\"Quorel\"\nCUSTOMER_MODEL=\"QV-1\"\n"
           "SOFTWARE_VERSION=" +
           version + "\nHARDWARE_VERSION=1.30\n";
}

QByteArray ImageBuilder::Payload(int size, uint8_t seed)
{
    QByteArray bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = char(x >> 16);
    }
    return bytes;
}

ImageBuilder ImageBuilder::Standard(const QByteArray &version, const QByteArray &application,
                                    uint16_t pid, const QByteArray &model)
{
    ImageBuilder builder;
    builder.Add({kMeta, Metadata(0x35C7, pid, version, model)})
        .Add({4, Payload(64, 4)})
        .Add({1, application})
        .Add({2, Payload(96, 2)});
    return builder;
}

ImageBuilder &ImageBuilder::Add(Section section)
{
    m_sections.append(std::move(section));
    return *this;
}

ImageBuilder &ImageBuilder::LayOutAs(QVector<int> order)
{
    m_layout = std::move(order);
    return *this;
}

QByteArray ImageBuilder::Build() const
{
    const int count = m_sections.size();
    QByteArray out(12 + 16 * count, '\0');
    out.replace(0, 4, "WFKW");
    out[4] = 0x01;
    out[7] = 0x01;
    out[8] = char(count);
    QVector<int> order = m_layout;
    if (order.isEmpty())
        for (int i = 0; i < count; ++i)
            order.append(i);
    for (int index : order) {
        const Section &s = m_sections[index];
        const int entry = 12 + 16 * index;
        PutU32(out, entry, s.tag);
        PutU32(out, entry + 4, uint32_t(s.bytes.size()));
        PutU32(out, entry + 8, uint32_t(out.size()));
        PutU32(out, entry + 12, Sum(s.bytes) + (s.badChecksum ? 1 : 0));
        out.append(s.bytes);
    }
    return out;
}
