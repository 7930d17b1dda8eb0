#include "platform/CallerOutput.h"

#include <QDeadlineTimer>

CallerOutput::CallerOutput(int outputFd, int errorFd)
    : m_relays{std::make_unique<OutputRelay>(outputFd, OutputRelay::kDefaultCapacity, OutputRelay::Ownership::Adopted),
               std::make_unique<OutputRelay>(errorFd, OutputRelay::kDefaultCapacity, OutputRelay::Ownership::Adopted)}
{
}

bool CallerOutput::isWritten()
{
    return m_relays[0]->flush(QDeadlineTimer(0)) && m_relays[1]->flush(QDeadlineTimer(0));
}
