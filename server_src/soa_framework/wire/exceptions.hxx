#pragma once
// Request-level failures in wire form. None derives from a standard
// exception: they are caught by type in the skeletons.
#include <string>
#include <vector>

namespace Velmora::Schemas::Soa::_2006_03::Exceptions {

class SoaException {
public:
    SoaException() = default;
    explicit SoaException(std::string message) : m_message(std::move(message)) {}
    SoaException(const SoaException&) = default;
    SoaException& operator=(const SoaException&) = default;
    virtual ~SoaException() = default;

    virtual void setMessage(const std::string& message) { m_message = message; }
    virtual const std::string& getMessage() const { return m_message; }
    virtual std::string getNamespace() const;
    virtual std::string getLocalName() const { return "SoaException"; }

private:
    std::string m_message;
};

// One error value of a service exception.
struct ErrorEntry {
    int code = 0;
    int level = 0;
    std::string message;
};

class ServiceException : public SoaException {
public:
    using SoaException::SoaException;
    std::string getLocalName() const override { return "ServiceException"; }

    const std::vector<ErrorEntry>& getErrors() const { return m_errors; }
    void addError(ErrorEntry e) { m_errors.push_back(std::move(e)); }

private:
    std::vector<ErrorEntry> m_errors;
};

class InvalidCredentialsException : public SoaException {
public:
    using SoaException::SoaException;
    std::string getLocalName() const override { return "InvalidCredentialsException"; }
};

class InternalServerException : public SoaException {
public:
    using SoaException::SoaException;
    std::string getLocalName() const override { return "InternalServerException"; }
};

class ConnectionException : public InternalServerException {
public:
    using InternalServerException::InternalServerException;
    std::string getLocalName() const override { return "ConnectionException"; }
};

class ProtocolException : public InternalServerException {
public:
    using InternalServerException::InternalServerException;
    std::string getLocalName() const override { return "ProtocolException"; }
};

class InvalidUserException : public SoaException {
public:
    using SoaException::SoaException;
    std::string getLocalName() const override { return "InvalidUserException"; }

private:
    int m_reserved1 = 0;
    int m_reserved2 = 0;
    std::string m_reserved3;
};

}  // namespace Velmora::Schemas::Soa::_2006_03::Exceptions
