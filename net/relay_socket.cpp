#include "net/relay_socket.h"

CRelaySocket::CRelaySocket(fon::IPlatform& platform, IRelayOwner* owner, int kind)
    : platform_(platform), m_pOwner(owner), m_nKind(kind) {}

CRelaySocket::~CRelaySocket() = default;

void CRelaySocket::OnConnect(int /*error*/) {}
void CRelaySocket::OnReceive(int /*error*/) {}
void CRelaySocket::OnClose(int /*error*/) {}
