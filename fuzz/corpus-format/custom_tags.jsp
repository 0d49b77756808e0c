1<%@ taglib prefix="c" uri="http://java.sun.com/jstl/core" %>
<ul>
<c:forEach var="item" items="${cart.items}">
    <li>${item.name}</li>
</c:forEach>
</ul>
<x>a</x>b
